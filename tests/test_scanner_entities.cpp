// The scanner's entities and names: declarations of the internal subset, seeding and
// look-up through the symbol table, bounded expansion, and interning of names.
#include "support/scan_util.h"

#include "generic/generic_importer.h"

#include <ostrelbase/symboltable.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

using ostrel_test::scanError;
using ostrel_test::scanEvents;
using Events = std::vector<std::string>;

namespace {

std::string doctype(const std::string& subset) { return "<!DOCTYPE a [" + subset + "]>"; }

// The replacement text the symbol table holds for entity name after an import.
std::string tableText(const std::string& name) {
    for (int i = SymbolGetCount(); i > 0; --i) {
        const char* entry = SymbolGetEntry(i);
        if (entry && name == entry && SymbolGetAssociatedIndex(i) != 0)
            return SymbolGetAssociatedVal(i);
    }
    return "<none>";
}

} // namespace

TEST(ScannerEntities, InternalEntitiesExpandInTextAndAttributes) {
    EXPECT_EQ(scanEvents(doctype("<!ENTITY e 'x&#233;y'><!ENTITY f \"[&e;]\">") +
                         "<a v='&f;'>&e;-&f;</a>"),
              (Events{"<a v='[x\xC3\xA9y]'>", "'x\xC3\xA9y-[x\xC3\xA9y]'", "</a>"}));
}

TEST(ScannerEntities, TheSymbolTableHoldsEachReplacementTextExactly) {
    // Character references are decoded before seeding; '&' and entity references kept.
    EXPECT_EQ(scanEvents(doctype("<!ENTITY e 'caf&#xE9; &amp; &#38;#38; &f;'><!ENTITY f 'F'>"
                                 "<!ENTITY % p 'param'>") +
                         "<a>&e;</a>"),
              (Events{"<a>", "'caf\xC3\xA9 & & F'", "</a>"}));
    EXPECT_EQ(tableText("e"), "caf\xC3\xA9 &amp; &#38; &f;");
    EXPECT_EQ(tableText("f"), "F");
    EXPECT_EQ(tableText("%p"), "param");
    EXPECT_EQ(tableText("amp"), "&");
}

TEST(ScannerEntities, NamesShadowingEntitiesDoNotHideTheirText) {
    // The element named like the entity is interned after it.
    EXPECT_EQ(scanEvents(doctype("<!ENTITY a 'text of a'><!ENTITY b 'a'>") + "<a><a>&a;&b;</a></a>"),
              (Events{"<a>", "<a>", "'text of aa'", "</a>", "</a>"}));
}

TEST(ScannerEntities, FirstDeclarationBindsAndPredefinedOnesCannotBeRedeclared) {
    EXPECT_EQ(scanEvents(doctype("<!ENTITY e 'first'><!ENTITY e 'second'><!ENTITY lt 'LT'>") +
                         "<a>&e;&lt;</a>"),
              (Events{"<a>", "'first<'", "</a>"}));
}

TEST(ScannerEntities, ReplacementTextIsReadLikeTheDocument) {
    // White space from character references stays in content (line ends are normalized
    // in the input only) and becomes blanks in attributes; references that a character
    // reference produced are references again.
    EXPECT_EQ(scanEvents(doctype("<!ENTITY e 'x&#13;&#10;y&#9;z'><!ENTITY l '&#38;#60;'>") +
                         "<a v='&e;|&l;'>&e;|&l;</a>"),
              (Events{"<a v='x  y z|<'>", "'x\r\ny\tz|<'", "</a>"}));
}

TEST(ScannerEntities, WithoutPreprocessingTheTableStaysEmptyAndResolutionOff) {
    scanEvents(doctype("<!ENTITY e 'x'>") + "<a>&e;</a>", false);
    EXPECT_EQ(SymbolLookup("e"), 0);
    const int inserted = SymbolInsert("&amp;", 0);
    EXPECT_EQ(inserted, SymbolGetCount());
    EXPECT_STREQ(SymbolGetEntry(SymbolGetCount()), "&amp;");
}

TEST(ScannerEntities, UnsupportedAndForbiddenUsesAreClearErrors) {
    EXPECT_EQ(scanError("<a>\n &nbsp;</a>"), "2:2: entity 'nbsp' is not defined");
    EXPECT_EQ(scanError("<!DOCTYPE a SYSTEM 'a.dtd'><a>&nbsp;</a>"),
              "1:31: entity 'nbsp' is not defined (the external DTD is never read)");
    EXPECT_EQ(scanError(doctype("<!ENTITY x SYSTEM '/etc/passwd'>") + "<a>&x;</a>"),
              "1:51: entity 'x' is external; external entities are never read");
    EXPECT_EQ(scanError(doctype("<!NOTATION g SYSTEM 'g'><!ENTITY x SYSTEM 'x.gif' NDATA g>") +
                        "<a>&x;</a>"),
              "1:77: entity 'x' is an unparsed (NDATA) entity and cannot be referenced here");
    EXPECT_EQ(scanError(doctype("<!ENTITY x '&#60;'>") + "<a v='&x;'/>"),
              "1:41: '<' is not allowed in an attribute value (it comes from entity 'x')");
    EXPECT_EQ(scanError(doctype("<!ENTITY x ']]>'>") + "<a>&x;</a>"),
              "1:36: ']]>' is not allowed in text (write ']]&gt;') (in the replacement text of "
              "entity 'x')");
    EXPECT_EQ(scanError(doctype("<!ENTITY x '&#38;bad'>") + "<a>&x;</a>"),
              "1:41: entity reference '&bad' is not ended by ';' (in the replacement text of "
              "entity 'x')");
    // An external parameter entity is never read: declarations after it are not used.
    EXPECT_EQ(scanError(doctype("<!ENTITY % p SYSTEM 'p.ent'> %p; <!ENTITY x 'y'>") +
                        "<a>&x;</a>"),
              "1:67: entity 'x' is not defined (declarations after the reference to external "
              "parameter entity '%p;' are not used: it is never read)");
}

TEST(ScannerDefaults, DeclaredDefaultsAreSuppliedAndTokenizedValuesNormalized) {
    const std::string subset = doctype(
        "<!ENTITY e 'E'><!ATTLIST a d CDATA ' x&#9;&e; ' t NMTOKENS '  p   q ' f CDATA #FIXED 'F'"
        " i ID #IMPLIED r CDATA #REQUIRED><!ATTLIST a d CDATA 'later' n NMTOKEN 'n'>");
    EXPECT_EQ(scanEvents(subset + "<a i='  x ' t=' 1  2 '><a d=' w ' f='F'/></a>"),
              (Events{"<a i='x' t='1 2' d*=' x\tE ' f*='F' n*='n'>",
                      "<a d=' w ' f='F' t*='p q' n*='n'>", "</a>", "</a>"}));
    // Without preprocessing references stay as written, so no defaults are supplied.
    EXPECT_EQ(scanEvents(subset + "<a t=' 1  2 '/>", false), (Events{"<a t='1 2'>", "</a>"}));
}

TEST(ScannerEntities, ParameterEntitiesBetweenDeclarationsAreExpanded) {
    EXPECT_EQ(scanEvents(doctype("<!ENTITY % p '<!ENTITY x \"y\"><!ATTLIST a v CDATA \"&x;\">'> "
                                 "%p;") +
                         "<a>&x;</a>"),
              (Events{"<a v*='y'>", "'y'", "</a>"}));
}

TEST(ScannerEntities, ReplacementTextWithMarkupIsReadAsContent) {
    const std::string decls = "<!ENTITY x '<b>bold</b> &amp; <c/>'><!ENTITY y '<i>&x;</i>'>";
    EXPECT_EQ(scanEvents(doctype(decls) + "<a>t&y;u</a>"),
              (Events{"<a>", "'t'", "<i>", "<b>", "'bold'", "</b>", "' & '", "<c>", "</c>",
                      "</i>", "'u'", "</a>"}));
    // Elements begin and end in the same entity (errors at the outermost reference).
    EXPECT_EQ(scanError(doctype("<!ENTITY x '<b>'>") + "<a>\n&x;</b></a>"),
              "2:1: the replacement text of entity 'x' ends inside element 'b', which began in "
              "it; an element must begin and end in the same entity (in the replacement text "
              "of entity 'x')");
    EXPECT_EQ(scanError(doctype("<!ENTITY x '</a><a>'>") + "<a>&x;</a>"),
              "1:40: end tag '</a>' ends an element that began outside entity 'x'; an element "
              "must begin and end in the same entity (in the replacement text of entity 'x')");
    EXPECT_EQ(scanError(doctype("<!ENTITY x '<b>&y;</b>'><!ENTITY y '<c>'>") + "<a>&x;</a>"),
              "1:60: the replacement text of entity 'y' ends inside element 'c', which began in "
              "it; an element must begin and end in the same entity (in the replacement text "
              "of entity 'y')");
}

TEST(ScannerEntities, ReferenceLoopsAreFound) {
    EXPECT_EQ(scanError(doctype("<!ENTITY x 'a&y;'><!ENTITY y 'b&x;'>") + "<a>&x;</a>"),
              "1:55: entity 'x' refers to itself");
    EXPECT_EQ(scanError(doctype("<!ENTITY x '&x;'>") + "<a v='&x;'/>"),
              "1:39: entity 'x' refers to itself");
}

TEST(ScannerEntities, ExponentialExpansionIsStoppedEarly) {
    std::string subset = "<!ENTITY l0 'lol'>";
    for (int i = 1; i <= 9; ++i)
        subset += "<!ENTITY l" + std::to_string(i) + " '" +
                  [&] {
                      std::string s;
                      for (int k = 0; k < 10; ++k) s += "&l" + std::to_string(i - 1) + ";";
                      return s;
                  }() +
                  "'>";
    const auto start = std::chrono::steady_clock::now();
    const std::string error = scanError(doctype(subset) + "<a>&l9;</a>");
    EXPECT_NE(error.find("bytes of entity text for this document (entity expansion is bounded)"),
              std::string::npos)
        << error;
    // Empty replacement texts count too: expansion work is bounded, not only its output.
    std::string empty = "<!ENTITY e0 ''>";
    for (int i = 1; i <= 9; ++i) {
        std::string refs;
        for (int k = 0; k < 10; ++k) refs += "&e" + std::to_string(i - 1) + ";";
        empty += "<!ENTITY e" + std::to_string(i) + " '" + refs + "'>";
    }
    EXPECT_NE(scanError(doctype(empty) + "<a>&e9;</a>").find("entity expansion is bounded"),
              std::string::npos);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
}

TEST(ScannerEntities, NestingDeeperThanTheLimitIsRefused) {
    std::string subset = "<!ENTITY n0 'x'>";
    for (int i = 1; i <= 45; ++i)
        subset += "<!ENTITY n" + std::to_string(i) + " '&n" + std::to_string(i - 1) + ";'>";
    EXPECT_EQ(scanError(doctype(subset) + "<a>&n39;</a>"), "");
    EXPECT_NE(scanError(doctype(subset) + "<a>&n45;</a>").find("entities nest more than 40"),
              std::string::npos);
}

TEST(ScannerNames, EachDistinctNameIsInternedOnceAndTextNever) {
    ostrel_test::TempFile file("names.xml");
    std::string doc = "<root>";
    for (int i = 0; i < 500; ++i) doc += "<item id='" + std::to_string(i) + "'>text " +
                                         std::to_string(i) + "</item>";
    ostrel_test::writeFile(file.path(), doc + "</root>");
    generic::GenericImporter importer;
    importer.ImportFromFile(file.path(), true);
    Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
    // The five predefined entities, then root, item, id: nothing of the text.
    EXPECT_EQ(SymbolGetCount(), 13);
    const int item = SymbolLookup("item");
    ASSERT_GT(item, 0);
    EXPECT_EQ(SymbolGetToken(item), 1);
    EXPECT_EQ(SymbolLookup("text 1"), 0);
}

TEST(ScannerNames, MoreDistinctNamesThanTheTableHoldsStillImport) {
    ostrel_test::TempFile file("many_names.xml");
    std::string doc = "<root>";
    const int count = 60000;
    for (int i = 0; i < count; ++i) doc += "<n" + std::to_string(i) + " a" + std::to_string(i) + "='v'/>";
    ostrel_test::writeFile(file.path(), doc + "</root>");
    generic::GenericImporter importer;
    importer.ImportFromFile(file.path(), true);
    auto* root = dynamic_cast<generic::GenericElement*>(importer.GetXObject());
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->childCount(), static_cast<size_t>(count));
    EXPECT_EQ(root->child(count - 1).GetTag(), "n" + std::to_string(count - 1));
    EXPECT_NE(static_cast<generic::GenericElement&>(root->child(count - 1))
                  .attributeValue("a" + std::to_string(count - 1)),
              nullptr);
    EXPECT_EQ(importer.elementCount(), count + 1);
    Ostrel::XMLImporterBase::DeleteImportedXObject(root);
}

TEST(ScannerNames, PeekingAtTheRootLeavesTheSymbolTableAlone) {
    ostrel_test::TempFile file("peek.xml");
    ostrel_test::writeFile(file.path(),
                           "<?xml version='1.0'?><!-- c --><!DOCTYPE reg [<!ENTITY e 'x'>]>\n<reg a='1'>&e;");
    SymbolResetTable();
    EXPECT_EQ(ostrel_xml::peekRootName(file.path()), "reg");
    EXPECT_EQ(SymbolGetCount(), 0);
    ostrel_test::writeFile(file.path(), "not xml");
    EXPECT_EQ(ostrel_xml::peekRootName(file.path()), "");
    EXPECT_EQ(ostrel_xml::peekRootName(file.path() + ".missing"), "");
}
