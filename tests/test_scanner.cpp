// The XML scanner: the documents under data/scanner and their events or errors; the symbol
// table the entities seed and the names it interns.
#include "support/case_file.h"
#include "support/scan_util.h"

#include "generic/generic_importer.h"

#include <ostrelbase/symboltable.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using ostrel_test::scan;
using Events = std::vector<std::string>;

TEST(ScannerDocuments, EachGivesItsEventsOrItsError) {
    const auto cases = ostrel_test::readCases(OSTREL_SCANNER_DATA "/documents.txt");
    EXPECT_GE(cases.size(), 57u);
    for (const auto& c : cases) {
        const std::string& mode = c.fields[0].text;
        std::size_t i = 1;
        const std::string document = ostrel_test::textAt(c.fields, i);
        Events expected;
        while (i < c.fields.size()) expected.push_back(ostrel_test::textAt(c.fields, i));
        const int depth = mode == "depth3" ? 3 : 0;
        EXPECT_EQ(scan(document, mode != "raw", mode == "events@", depth), expected) << c.where;
    }
}

TEST(ScannerEntities, TheSymbolTableHoldsEachReplacementTextExactly) {
    // Character references are decoded before seeding; '&' and entity references kept.
    scan("<!DOCTYPE a [<!ENTITY e 'caf&#xE9; &amp; &#38;#38; &f;'><!ENTITY f 'F'>"
         "<!ENTITY % p 'param'>]><a>&e;</a>");
    std::string texts;  // the last entry of each name that has a text
    for (const std::string name : {"e", "f", "%p", "amp"})
        for (int i = SymbolGetCount(); i > 0; --i)
            if (SymbolGetEntry(i) && name == SymbolGetEntry(i) && SymbolGetAssociatedIndex(i)) {
                texts += std::string(SymbolGetAssociatedVal(i)) + "|";
                break;
            }
    EXPECT_EQ(texts, "caf\xC3\xA9 &amp; &#38; &f;|F|param|&|");
    // Without preprocessing the table stays empty and resolution off.
    scan("<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>", false);
    EXPECT_EQ(SymbolLookup("e"), 0);
    const int inserted = SymbolInsert("&amp;", 0);
    EXPECT_EQ(inserted, SymbolGetCount());
    EXPECT_STREQ(SymbolGetEntry(SymbolGetCount()), "&amp;");
}

TEST(ScannerNames, EachDistinctNameIsInternedOnceAndTextNeverAndTheTableMayOverflow) {
    for (const int count : {500, 60000}) {
        // 500 alike elements; then more distinct names than the table holds.
        std::string doc = "<root>";
        for (int i = 0; i < count; ++i)
            doc += count == 500 ? "<item id='" + std::to_string(i) + "'>text " + std::to_string(i) +
                                      "</item>"
                                : "<n" + std::to_string(i) + " a" + std::to_string(i) + "='v'/>";
        const ostrel_test::TempFile file("names.xml", doc + "</root>");
        generic::GenericImporter importer;
        importer.ImportFromFile(file.path(), true);
        auto* root = dynamic_cast<generic::GenericElement*>(importer.GetXObject());
        ASSERT_NE(root, nullptr);
        EXPECT_EQ(importer.elementCount(), count + 1);
        auto& last = static_cast<generic::GenericElement&>(root->child(count - 1));
        if (count == 500) {
            // The five predefined entities, then root, item, id: nothing of the text.
            EXPECT_EQ(SymbolGetCount(), 13);
            EXPECT_EQ(SymbolGetToken(SymbolLookup("item")), 1);
            EXPECT_EQ(SymbolLookup("text 1"), 0);
        } else {
            EXPECT_EQ(last.GetTag(), "n59999");
            EXPECT_NE(last.attributeValue("a59999"), nullptr);
        }
        Ostrel::XMLImporterBase::DeleteImportedXObject(root);
    }
}
