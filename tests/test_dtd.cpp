// The DTD reader: internal subsets against the productions and well-formedness
// constraints of XML 1.0, DTD files with conditional sections and external parameter
// entities, and the system's own DTDs.
#include "support/dtd_dump.h"
#include "support/file_util.h"

#include "ostrelxml/dtd_parser.h"

#include <ostrelbase/ostrelexcept.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

using ostrel_test::dumpDtd;
using ostrel_test::readFile;
using ostrel_xml::Dtd;
using ostrel_xml::InternalSubsetContext;

namespace {

enum class Doc { Plain, External, Standalone };

InternalSubsetContext context(Doc doc) {
    InternalSubsetContext c;
    c.file = "doc.xml";
    c.hasExternalSubset = doc == Doc::External;
    c.standalone = doc == Doc::Standalone;
    return c;
}

// The message of the error parsing subset gives, "" when it parses.
std::string subsetError(const std::string& subset, Doc doc = Doc::Plain) {
    try {
        ostrel_xml::parseInternalSubset(subset, context(doc));
    } catch (const Ostrel::XException& e) {
        return e.GetMsg();
    }
    return "";
}

std::string fileError(const std::string& path) {
    try {
        ostrel_xml::readDtdFile(path);
    } catch (const Ostrel::XException& e) {
        return e.GetMsg();
    }
    return "";
}

// "Error: <file>:<line:column>: ..." holding fragment.
void expectError(const std::string& message, const std::string& file,
                 const std::string& lineColumn, const std::string& fragment,
                 const std::string& input) {
    const std::string prefix = "Error: " + file + ":" + lineColumn + ": ";
    EXPECT_EQ(message.compare(0, prefix.size(), prefix), 0)
        << input << "\n  gives: " << message << "\n  expected at " << lineColumn;
    EXPECT_NE(message.find(fragment), std::string::npos)
        << input << "\n  gives: " << message << "\n  expected: " << fragment;
}

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

struct Malformed {
    std::string subset;
    std::string at;
    std::string fragment;
    Doc doc = Doc::Plain;
    bool peer = true;  // compared with xmllint (which does not bound expansion)
};

std::vector<Malformed> malformedSubsets() {
    std::vector<Malformed> cases = {
        // [28a] DeclSep, [29] markupdecl: only declarations, comments, PIs and references
        {"text", "1:1", "expected a markup declaration"},
        {"<!DOCTYPE b>", "1:1", "found '<!DOCTYPE'"},
        {"<!element a EMPTY>", "1:1", "case-sensitive"},
        {"<![INCLUDE[ <!ELEMENT a ANY> ]]>", "1:1", "only in the external subset"},
        {"<!ENTITY % p \"&#60;![IGNORE[ ]]&#62;\">%p;", "1:39", "only in the external"},
        {"]]>", "1:1", "closes no conditional section"},
        // [45] elementdecl, [46] contentspec
        {"<!ELEMENTa EMPTY>", "1:10", "expected white space after '<!ELEMENT'"},
        {"<!ELEMENT (a)>", "1:11", "expected the element type's name"},
        {"<!ELEMENT a(b)>", "1:12", "expected white space after the element type's name"},
        {"<!ELEMENT a EMPTY", "1:18", "expected '>'"},
        {"<!ELEMENT a empty>", "1:13", "expected 'EMPTY', 'ANY' or '('"},
        {"<!ELEMENT a EMPTY -- no comments here -->", "1:19", "comments may not stand"},
        {"<!ELEMENT a CDATA>", "1:13", "SGML"},
        {"<!ELEMENT a RCDATA>", "1:13", "SGML"},
        {"<!ELEMENT a - O (b)>", "1:13", "omitted-tag minimization"},
        {"<!ELEMENT a O O (b)>", "1:13", "omitted-tag minimization"},
        {"<!ELEMENT a (b) +(c)>", "1:17", "exceptions"},
        {"<!ELEMENT a (b) -(c)>", "1:17", "exceptions"},
        // [47]-[50] children, cp, choice, seq
        {"<!ELEMENT a (b & c)>", "1:16", "'&' connector"},
        {"<!ELEMENT a (b, c | d)>", "1:19", "may not mix ',' and '|'"},
        {"<!ELEMENT a (b | (c, d | e))>", "1:24", "may not mix"},
        {"<!ELEMENT a ()>", "1:14", "empty group"},
        {"<!ELEMENT a (b,)>", "1:16", "expected an element type name or '('"},
        {"<!ELEMENT a (b) *>", "1:17", "expected '>'"},
        {"<!ELEMENT a (b)**>", "1:17", "expected '>'"},
        {"<!ELEMENT a (b c)>", "1:16", "expected ',', '|' or ')'"},
        {"<!ELEMENT a (b", "1:15", "the end of the internal subset"},
        // [51] Mixed
        {"<!ELEMENT a (#PCDATA|b)>", "1:24", "must end with ')*'"},
        {"<!ELEMENT a (#PCDATA|b) *>", "1:24", "must end with ')*'"},
        {"<!ELEMENT a (b|#PCDATA)*>", "1:16", "'#PCDATA' may stand only first"},
        {"<!ELEMENT a ((#PCDATA))>", "1:15", "'#PCDATA' may stand only first"},
        {"<!ELEMENT a (#pcdata)>", "1:14", "expected an element type name"},
        {"<!ELEMENT a (#PCDATA, b)*>", "1:21", "'|' only"},
        {"<!ELEMENT a (#PCDATA|(b))*>", "1:22", "not groups"},
        {"<!ELEMENT a (#PCDATA)+>", "1:22", "expected '>'"},
        // [52] AttlistDecl, [53] AttDef
        {"<!ATTLIST a b CDATA>", "1:20", "expected white space before the default"},
        {"<!ATTLIST a b (x|y) \"x\"c CDATA #IMPLIED>", "1:24", "expected white space and an "
                                                                "attribute name"},
        {"<!ATTLIST a b CDATA #IMPLIED", "1:29", "found the end of the internal subset"},
        // [54]-[59] attribute types
        {"<!ATTLIST a b cdata #IMPLIED>", "1:15", "expected the type of attribute 'b'"},
        {"<!ATTLIST a b NUMBER #IMPLIED>", "1:15", "found 'NUMBER'"},
        {"<!ATTLIST a b (x,y) #IMPLIED>", "1:17", "expected '|' or ')'"},
        {"<!ATTLIST a b () #IMPLIED>", "1:16", "expected a name token"},
        {"<!ATTLIST a b NOTATION(x) #IMPLIED>", "1:23", "expected white space after 'NOTATION'"},
        {"<!ATTLIST a b NOTATION x #IMPLIED>", "1:24", "expected '('"},
        {"<!ATTLIST a b NOTATION (1x) #IMPLIED>", "1:25", "expected a notation name"},
        // [60] DefaultDecl, [10] AttValue
        {"<!ATTLIST a b CDATA #WRONG>", "1:21", "found '#WRONG'"},
        {"<!ATTLIST a b CDATA #required>", "1:21", "found '#required'"},
        {"<!ATTLIST a b CDATA #FIXED>", "1:27", "expected white space after '#FIXED'"},
        {"<!ATTLIST a b CDATA #FIXED\"v\">", "1:27", "expected white space after '#FIXED'"},
        {"<!ATTLIST a b CDATA v>", "1:21", "in quotes"},
        {"<!ATTLIST a b CDATA 'v>", "1:21", "not closed"},
        {"<!ATTLIST a b CDATA \"a<b\">", "1:23", "'<' is not allowed"},
        {"<!ATTLIST a b CDATA \"a&b\">", "1:23", "not ended by ';'"},
        {"<!ATTLIST a b CDATA \"&#0;\">", "1:22", "does not name a character"},
        {"<!ATTLIST a b CDATA \"& \">", "1:22", "'&' must begin a reference"},
        // WFC: Entity Declared (before the attribute-list declaration)
        {"<!ATTLIST a b CDATA \"&e;\">", "1:22", "entity 'e' is not declared"},
        // (xmllint accepts it, though a declaration in the external subset would come
        // after the default and so too late)
        {"<!ATTLIST a b CDATA \"&e;\">", "1:22", "(the external DTD is never read)",
         Doc::External, false},
        {"<!ATTLIST a b CDATA \"&e;\"><!ENTITY e 'x'>", "1:22", "declared before it"},
        {"<!ENTITY e \"&f;\"><!ATTLIST a b CDATA \"&e;\"><!ENTITY f 'x'>", "1:39",
         "entity 'f' is not declared"},
        // WFC: No External Entity References, Parsed Entity
        {"<!ENTITY e SYSTEM \"e.xml\"><!ATTLIST a b CDATA \"&e;\">", "1:48", "external"},
        {"<!NOTATION n SYSTEM \"n\"><!ENTITY e SYSTEM \"e.gif\" NDATA n>"
         "<!ATTLIST a b CDATA \"&e;\">",
         "1:80", "unparsed (NDATA)"},
        // WFC: No < in Attribute Values, also through entities
        {"<!ENTITY e \"a<b\"><!ATTLIST a b CDATA \"&e;\">", "1:39", "comes from entity 'e'"},
        {"<!ENTITY f \"<\"><!ENTITY e \"&f;\"><!ATTLIST a b CDATA \"x&e;\">", "1:55",
         "comes from entity 'f'"},
        // WFC: No Recursion
        {"<!ENTITY e \"&f;\"><!ENTITY f \"&e;\"><!ATTLIST a b CDATA \"&e;\">", "1:56",
         "entity 'e' refers to itself"},
        // [70]-[76] entity declarations
        {"<!ENTITY e>", "1:11", "expected white space after the entity name 'e'"},
        {"<!ENTITY\n>", "2:1", "expected the entity's name"},
        {"<!ENTITY %e \"x\">", "1:11", "expected white space after '%'"},
        {"<!ENTITY e x>", "1:12", "in quotes, or SYSTEM or PUBLIC"},
        {"<!ENTITY e system \"s\">", "1:12", "in quotes, or SYSTEM or PUBLIC"},
        {"<!ENTITY e \"x\" \"y\">", "1:16", "expected '>'"},
        {"<!ENTITY e 'x>", "1:12", "not closed"},
        {"<!ENTITY e \"a&b\">", "1:14", "not ended by ';'"},
        {"<!ENTITY e \"a & b\">", "1:15", "'&' must begin a reference"},
        {"<!ENTITY e \"&#x110000;\">", "1:13", "does not name a character"},
        {"<!ENTITY e \"&#xG;\">", "1:13", "malformed character reference"},
        {"<!ENTITY e \"5%\">", "1:14", "'%' must begin a parameter-entity reference"},
        {"<!ENTITY e SYSTEM>", "1:18", "expected white space after 'SYSTEM'"},
        {"<!ENTITY e PUBLIC \"a{b\" \"s\">", "1:21", "public identifier may not hold '{'"},
        {"<!ENTITY e PUBLIC \"p\">", "1:22", "system identifier"},
        {"<!ENTITY e PUBLIC \"p\"\"s\">", "1:22", "expected white space"},
        {"<!ENTITY e SYSTEM \"s\"NDATA n>", "1:22", "expected '>'"},
        {"<!ENTITY e SYSTEM \"s\" NDATA>", "1:28", "expected white space after 'NDATA'"},
        {"<!ENTITY % e SYSTEM \"s\" NDATA n>", "1:25", "cannot be unparsed"},
        // [82] NotationDecl, [83] PublicID
        {"<!NOTATION n>", "1:13", "expected white space after the notation name"},
        {"<!NOTATION n SYSTEM>", "1:20", "expected white space after 'SYSTEM'"},
        {"<!NOTATION n PUBLIC \"p\" 's' x>", "1:29", "expected '>'"},
        {"<!NOTATION n PUBLIC \"p\"'s'>", "1:24", "expected white space between"},
        // [15] Comment, [16] PI
        {"<!-- a -- b -->", "1:8", "'--' is not allowed inside a comment"},
        {"<!-- a --->", "1:8", "'--' is not allowed inside a comment"},
        {"<!-- open", "1:1", "not closed"},
        {"<?xml version=\"1.0\"?>", "1:1", "only at the very start"},
        {"<?XmL x?>", "1:1", "target 'XmL' is reserved"},
        {"<? pi?>", "1:3", "expected the target"},
        {"<?pi?x?>", "1:5", "expected white space or '?>'"},
        {"<?pi x", "1:1", "not closed"},
        // [69] PEReference; WFC: PEs in Internal Subset
        {"% p;", "1:1", "'%' must begin a parameter-entity reference"},
        {"%p", "1:1", "'%' must begin a parameter-entity reference"},
        {"<!ENTITY % p \"x\"><!ENTITY e \"%p;\">", "1:30", "inside an entity value"},
        {"<!ENTITY % p \"EMPTY\"><!ELEMENT a %p;>", "1:34", "inside a markup declaration"},
        {"<!ENTITY % p \"b\"><!ATTLIST a %p; CDATA #IMPLIED>", "1:30", "inside a markup"},
        // WFC: PE Between Declarations: whole declarations in the replacement text
        {"<!ENTITY % p \"<!ELEMENT a EMPTY\"> %p; >", "1:35",
         "found the end of parameter entity '%p;' (in parameter entity '%p;')"},
        {"<!ENTITY % p \"<!ELEMENT a \"> %p; EMPTY>", "1:30", "(in parameter entity '%p;')"},
        {"<!ENTITY % p \"<!-- open\"> %p; -->", "1:27", "not closed"},
        {"<!ENTITY % p \"<!ELEMENT b &#37;q;>\"> %p;", "1:38",
         "inside a markup declaration"},
        // WFC: No Recursion
        {"<!ENTITY % p \"&#37;p;\"> %p;", "1:25", "'%p;' refers to itself"},
        {"<!ENTITY % p \"&#37;q;\"><!ENTITY % q \"&#37;p;\"> %p;", "1:48", "refers to itself"},
        // Positions count characters, not bytes, and lines from the subset's start.
        {"<!-- \xC3\xA9\xE2\x82\xAC -->\n  <!ELEMENT \xC3\xA9 EMPTY", "2:20", "expected '>'"},
        {"<!ELEMENT a ANY>\x01", "1:17", "character U+0001 is not allowed"},
        {"<!ELEMENT a ANY>\xC3", "1:17", "does not begin a UTF-8 character"},
    };
    // Bounded expansion: parameter entities ten deep, each referring to the next ten times.
    std::string laughs = "<!ENTITY % l0 \"<!-- laugh -->\">";
    for (int i = 1; i < 10; ++i)
        laughs += "<!ENTITY % l" + std::to_string(i) + " \"" +
                  repeat("&#37;l" + std::to_string(i - 1) + ";", 10) + "\">";
    cases.push_back({laughs + "%l9;", "1:" + std::to_string(laughs.size() + 1),
                     "passes the limit", Doc::Plain, false});
    // ... and general entities in a default value.
    std::string values = "<!ENTITY g0 \"laugh\">";
    for (int i = 1; i < 10; ++i)
        values += "<!ENTITY g" + std::to_string(i) + " \"" +
                  repeat("&g" + std::to_string(i - 1) + ";", 10) + "\">";
    cases.push_back({values + "<!ATTLIST a b CDATA \"&g9;\">",
                     "1:" + std::to_string(values.size() + 22), "passes the limit", Doc::Plain,
                     false});
    // Nesting depth.
    std::string chain = "<!ENTITY % d0 \"\">";
    for (int i = 1; i <= 60; ++i)
        chain += "<!ENTITY % d" + std::to_string(i) + " \"&#37;d" + std::to_string(i - 1) +
                 ";\">";
    cases.push_back({chain + "%d60;", "1:" + std::to_string(chain.size() + 1),
                     "nest more than 40 levels", Doc::Plain, false});
    return cases;
}

} // namespace

TEST(DtdInternalSubset, MalformedSubsetsAreRefusedWhereTheFaultIs) {
    for (const Malformed& c : malformedSubsets())
        expectError(subsetError(c.subset, c.doc), "doc.xml", c.at, c.fragment, c.subset);
}

TEST(DtdInternalSubset, PositionsStartWhereTheSubsetStandsInTheDocument) {
    InternalSubsetContext c = context(Doc::Plain);
    c.line = 3;
    c.column = 15;
    try {
        ostrel_xml::parseInternalSubset("<!ELEMENT a ANY> <!ELEMENT b ANY!\n", c);
        ADD_FAILURE() << "no error";
    } catch (const Ostrel::XException& e) {
        EXPECT_EQ(e.GetMsg().substr(0, 22), "Error: doc.xml:3:47: e");
    }
    const Dtd dtd = ostrel_xml::parseInternalSubset(
        "<!ENTITY % p '<!ELEMENT x ANY>'>\n  <!ELEMENT \xC3\xA9 ANY> %p;", c);
    ASSERT_EQ(dtd.elements.size(), 2u);
    EXPECT_EQ(dtd.elements[0].position.line, 4);
    EXPECT_EQ(dtd.elements[0].position.column, 3);
    // A declaration from a parameter entity stands where the reference does.
    EXPECT_EQ(dtd.elements[1].position.line, 4);
    EXPECT_EQ(dtd.elements[1].position.column, 20);
    EXPECT_EQ(dtd.elements[1].position.file, "doc.xml");
    EXPECT_EQ(dtd.entities[0].position.line, 3);
    EXPECT_EQ(dtd.entities[0].position.column, 15);
}

namespace {

struct WellFormed {
    std::string subset;
    std::string dump;
    Doc doc = Doc::Plain;
    bool peer = true;  // compared with xmllint
};

const WellFormed kWellFormed[] = {
    // [45]-[51] element declarations: every kind of content, any nesting, white space
    {"<!ELEMENT a EMPTY><!ELEMENT b ANY><!ELEMENT c (#PCDATA)><!ELEMENT d ( #PCDATA )*>"
     "<!ELEMENT e ( #PCDATA | a |b)*><!ELEMENT f (a,(b|c)*,d?)+><!ELEMENT g (a)>"
     "<!ELEMENT h\n\t(\n\t(a , b)? |\t((c)) | d+\n\t)*\n>",
     "ELEMENT a EMPTY\nELEMENT b ANY\nELEMENT c (#PCDATA)\nELEMENT d (#PCDATA)\n"
     "ELEMENT e (#PCDATA | a | b)*\nELEMENT f (a, (b | c)*, d?)+\nELEMENT g (a)\n"
     "ELEMENT h ((a, b)? | ((c)) | d+)*\n"},
    // VC: Unique Element Type Declaration is no well-formedness error: the first stays.
    // VC: No Duplicate Types, element types used but not declared: accepted.
    {"<!ELEMENT \xC3\xA9l\xC3\xA9ment (#PCDATA|b|b)*><!ELEMENT \xC3\xA9l\xC3\xA9ment EMPTY>",
     "ELEMENT \xC3\xA9l\xC3\xA9ment (#PCDATA | b | b)*\n"},
    // [52]-[60] attribute types and defaults; VCs (one ID per element, ID with a default,
    // undeclared notations, duplicate tokens) are no errors
    {"<!ATTLIST a i ID #IMPLIED j ID 'x' r IDREF #REQUIRED rs IDREFS #IMPLIED"
     "  e ENTITY #IMPLIED es ENTITIES #IMPLIED t NMTOKEN #IMPLIED ts NMTOKENS #IMPLIED"
     "  n NOTATION ( g | h ) \"g\" en (1|two|two|-x) 'two' f CDATA #FIXED \"f\">",
     "ATTLIST a i ID #IMPLIED\nATTLIST a j ID \"x\"\nATTLIST a r IDREF #REQUIRED\n"
     "ATTLIST a rs IDREFS #IMPLIED\nATTLIST a e ENTITY #IMPLIED\n"
     "ATTLIST a es ENTITIES #IMPLIED\nATTLIST a t NMTOKEN #IMPLIED\n"
     "ATTLIST a ts NMTOKENS #IMPLIED\nATTLIST a n NOTATION (g | h) \"g\"\n"
     "ATTLIST a en (1 | two | two | -x) \"two\"\nATTLIST a f CDATA #FIXED \"f\"\n"},
    // 3.3.3 normalization: references replaced, white space characters become blanks,
    // collapsed for every type but CDATA; a character reference to white space stays
    {"<!ATTLIST a c CDATA \" x&#10;y\tz\n \" t NMTOKENS \"  p\t\nq   r  \""
     " u NMTOKEN ' &#32;&#9;u ' v CDATA \"&lt;&amp;&gt;&apos;&quot;\">",
     "ATTLIST a c CDATA \" x\\ny z  \"\nATTLIST a t NMTOKENS \"p q r\"\n"
     "ATTLIST a u NMTOKEN \"\\tu\"\nATTLIST a v CDATA \"<&>'\\\"\"\n"},
    // entities in defaults, recursively: their literal white space becomes blanks, their
    // character references stay what they name
    {"<!ENTITY f \"&#9;F\"><!ENTITY e \"[&f;&#38;#9;&lt;]\">"
     "<!ATTLIST a v CDATA \"&e;\" w NMTOKEN \" &e; \">",
     "ATTLIST a v CDATA \"[ F\\t<]\"\nATTLIST a w NMTOKEN \"[ F\\t<]\"\n"
     "ENTITY f \"\\tF\"\nENTITY e \"[&f;&#9;&lt;]\"\n"},
    // the first definition of an attribute binds, across declarations
    {"<!ATTLIST a x CDATA \"1\" x CDATA \"2\"><!ATTLIST a x CDATA \"3\" y CDATA \"4\">"
     "<!ATTLIST b x CDATA #IMPLIED><!ATTLIST c>",
     "ATTLIST a x CDATA \"1\"\nATTLIST a y CDATA \"4\"\nATTLIST b x CDATA #IMPLIED\n"},
    // [9] EntityValue: character references replaced, entity references kept, the other
    // quote plain; the first declaration binds; predefined ones accepted and ignored
    {"<!ENTITY e 'say \"hi\" &#x27;x&#39; &f; &amp; &#38;#38;'><!ENTITY e \"second\">"
     "<!ENTITY lt \"&#38;#60;\"><!ENTITY amp \"&#38;#38;\"><!ENTITY % lt \"pe\">"
     "<!ENTITY empty ''>",
     "ENTITY e \"say \\\"hi\\\" 'x' &f; &amp; &#38;\"\nENTITY % lt \"pe\"\n"
     "ENTITY empty \"\"\n"},
    // [75] ExternalID, [76] NDataDecl, [82]-[83] notations; undeclared notation is a VC
    {"<!NOTATION gif PUBLIC \"-//W3C//NOTATION GIF//EN\"><!NOTATION png SYSTEM 'png'>"
     "<!NOTATION jp PUBLIC 'p' \"s\" ><!NOTATION png SYSTEM 'other'>"
     "<!ENTITY pic SYSTEM \"a.gif\" NDATA gif ><!ENTITY pic2 SYSTEM \"b\" NDATA nowhere>"
     "<!ENTITY % mod PUBLIC \"-//X//Mod 'q'//EN\"\n'mod.ent'><!ENTITY t SYSTEM 'ch%1.xml'>",
     "ENTITY pic SYSTEM \"a.gif\" NDATA gif\nENTITY pic2 SYSTEM \"b\" NDATA nowhere\n"
     "ENTITY % mod PUBLIC \"-//X//Mod 'q'//EN\" \"mod.ent\"\nENTITY t SYSTEM \"ch%1.xml\"\n"
     "NOTATION gif PUBLIC \"-//W3C//NOTATION GIF//EN\"\nNOTATION png SYSTEM \"png\"\n"
     "NOTATION jp PUBLIC \"p\" \"s\"\n"},
    // [15] comments and [16] processing instructions between declarations
    {"<!-- c --><?pi data?><?pi?><!-- - --><!----><?xml-stylesheet href='s'?>\n"
     "<!ELEMENT a EMPTY>",
     "ELEMENT a EMPTY\n"},
    // parameter entities between declarations are read; the first declaration binds
    {"<!ENTITY % decls \"<!ELEMENT x EMPTY><!ATTLIST x a CDATA 'v'>\"> %decls;%decls;"
     "<!ENTITY % a \"<!ENTITY &#37; b '<!ELEMENT y (x)&#62;'>\"> %a; %b;"
     "<!ENTITY % empty ''>%empty;",
     "ELEMENT x EMPTY\nELEMENT y (x)\nATTLIST x a CDATA \"v\"\n"
     "ENTITY % decls \"<!ELEMENT x EMPTY><!ATTLIST x a CDATA 'v'>\"\n"
     "ENTITY % a \"<!ENTITY % b '<!ELEMENT y (x)>'>\"\n"
     "ENTITY % b \"<!ELEMENT y (x)>\"\nENTITY % empty \"\"\n"},
    // XML 1.0 5.1: after a reference to an external parameter entity (never read), entity
    // and attribute-list declarations are checked but not processed, and undeclared
    // references may have been declared in it (xmllint processes them all and refuses)
    {"<!ENTITY % ext SYSTEM \"ext.ent\"><!ENTITY e1 \"1\"> %ext; <!ENTITY e2 \"2\">"
     "<!ATTLIST a b CDATA \"&zz;&e1;\"> %zz; <!ELEMENT a EMPTY><!NOTATION n SYSTEM 'n'>",
     "ELEMENT a EMPTY\nENTITY % ext SYSTEM \"ext.ent\"\nENTITY e1 \"1\"\n"
     "NOTATION n SYSTEM \"n\"\nUNREAD %ext\n", Doc::Plain, false},
    // An undeclared parameter entity breaks validity only (erratum E38): it is not read
    // either (xmllint refuses it)
    {"%p; <!ENTITY % p \"\"><!ELEMENT a ANY>", "ELEMENT a ANY\nUNREAD %p\n", Doc::Plain, false},
    // ... unless the document is standalone
    {"<!ENTITY % ext SYSTEM \"ext.ent\"> %ext; <!ENTITY e \"x\"><!ATTLIST a b CDATA \"&e;\">"
     "%zz;",
     "ATTLIST a b CDATA \"x\"\nENTITY % ext SYSTEM \"ext.ent\"\nENTITY e \"x\"\n"
     "UNREAD %ext\n",
     Doc::Standalone, false},
    {"", ""},
    {" \n\t", ""},
};

} // namespace

TEST(DtdInternalSubset, WellFormedSubsetsGiveTheirModel) {
    for (const WellFormed& c : kWellFormed) {
        try {
            EXPECT_EQ(dumpDtd(ostrel_xml::parseInternalSubset(c.subset, context(c.doc))), c.dump)
                << c.subset;
        } catch (const Ostrel::XException& e) {
            ADD_FAILURE() << c.subset << "\n  gives: " << e.GetMsg();
        }
    }
}

#ifdef OSTREL_XMLLINT
namespace {

// Whether xmllint reads a document with this internal subset without error.
bool xmllintAccepts(const std::string& subset, Doc doc) {
    ostrel_test::TempFile file("dtd_peer.xml");
    ostrel_test::writeFile(
        file.path(), std::string(doc == Doc::Standalone
                                     ? "<?xml version='1.0' standalone='yes'?>\n"
                                     : "") +
                         "<!DOCTYPE a " + (doc == Doc::External ? "SYSTEM 'none.dtd' " : "") +
                         "[" + subset + "]><a/>\n");
    const std::string command =
        std::string(OSTREL_XMLLINT) + " --noout '" + file.path() + "' >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

} // namespace

TEST(DtdInternalSubset, XmllintAgreesWhichSubsetsAreWellFormed) {
    for (const Malformed& c : malformedSubsets())
        if (c.peer) {
            EXPECT_FALSE(xmllintAccepts(c.subset, c.doc)) << c.subset;
        }
    for (const WellFormed& c : kWellFormed) {
        if (c.peer) {
            EXPECT_TRUE(xmllintAccepts(c.subset, c.doc)) << c.subset;
        }
    }
}
#endif

TEST(DtdInternalSubset, MalformedDeclarationsAfterAnUnreadEntityAreStillRefused) {
    const std::string unread = "<!ENTITY % ext SYSTEM 'x'>%ext;";
    expectError(subsetError(unread + "<!ENTITY e \"a & b\">"), "doc.xml", "1:46",
                "'&' must begin a reference", "after %ext;");
    expectError(subsetError(unread + "<!ATTLIST a b CDATA \"<\">"), "doc.xml", "1:53",
                "'<' is not allowed", "after %ext;");
    // An entity declared before the unread one is known: its faults are faults.
    expectError(subsetError("<!ENTITY u SYSTEM 'u'>" + unread + "<!ATTLIST a b CDATA \"&u;\">"),
                "doc.xml", "1:75", "external", "after %ext;");
}

TEST(DtdModel, LookupsAndDescriptions) {
    const Dtd dtd = ostrel_xml::parseInternalSubset(
        "<!ELEMENT a (b, (c | d)*)><!ATTLIST a x (yes|no) 'no' y CDATA #IMPLIED>"
        "<!ATTLIST b x CDATA #IMPLIED><!ENTITY e 'g'><!ENTITY % e 'p'><!NOTATION n SYSTEM 's'>",
        context(Doc::Plain));
    ASSERT_NE(dtd.findElement("a"), nullptr);
    EXPECT_EQ(dtd.findElement("b"), nullptr);
    EXPECT_EQ(ostrel_xml::describeModel(*dtd.findElement("a")), "(b, (c | d)*)");
    const auto attributes = dtd.attributesOf("a");
    ASSERT_EQ(attributes.size(), 2u);
    EXPECT_EQ(attributes[0]->name, "x");
    EXPECT_EQ(attributes[1]->name, "y");
    EXPECT_EQ(ostrel_xml::describeType(*dtd.findAttribute("a", "x")), "(yes | no)");
    EXPECT_EQ(dtd.findAttribute("b", "y"), nullptr);
    EXPECT_EQ(dtd.findAttribute("b", "x")->element, "b");
    EXPECT_EQ(dtd.findEntity("e", false)->value, "g");
    EXPECT_EQ(dtd.findEntity("e", true)->value, "p");
    EXPECT_EQ(dtd.findEntity("f", false), nullptr);
    EXPECT_EQ(dtd.findNotation("n")->systemId, "s");
    EXPECT_EQ(dtd.findNotation("e"), nullptr);
}

TEST(DtdFile, ModulesConditionalSectionsAndTextDeclarations) {
    const std::string dir = OSTREL_DTD_DATA;
    const Dtd dtd = ostrel_xml::readDtdFile(dir + "/book.dtd");
    EXPECT_EQ(dumpDtd(dtd), readFile(dir + "/book.expected"));
    EXPECT_EQ(dtd.files, (std::vector<std::string>{dir + "/book.dtd", dir + "/modules/inline.mod",
                                                   dir + "/modules/common.ent",
                                                   dir + "/modules/text.ent"}));
    // Declarations read from a module stand in the module's file.
    const ostrel_xml::DtdElement* em = dtd.findElement("em");
    ASSERT_NE(em, nullptr);
    EXPECT_EQ(em->position.file, dir + "/modules/inline.mod");
    EXPECT_EQ(em->position.line, 6);
    EXPECT_EQ(dtd.findElement("book")->position.line, 9);
}

namespace {

struct MalformedFile {
    std::vector<std::pair<std::string, std::string>> files;  // the first one is read
    std::string at;                                           // "<file>:<line>:<column>"
    std::string fragment;
};

const MalformedFile kMalformedFiles[] = {
    // the files: one that cannot be opened, recursion through files
    {{{"main.dtd", "<!ENTITY % m SYSTEM 'missing.mod'>\n%m;"}}, "main.dtd:2:1",
     "missing.mod' of external parameter entity '%m;'"},
    {{{"self.dtd", "<!ENTITY % self SYSTEM 'self.dtd'>\n%self;"}}, "self.dtd:2:1",
     "'%self;' refers to itself"},
    {{{"main.dtd", "<!ENTITY % m SYSTEM 'sub/m.ent'>\n%m;"},
      {"sub/m.ent", "<!ELEMENT a ANY>\n  <!ELEMENT b (c|d,e)>"}},
     "sub/m.ent:2:19", "may not mix"},
    {{{"main.dtd", "<!ENTITY % m SYSTEM 'sub/m.ent'>%m;"},
      {"sub/m.ent", "<!ENTITY % n SYSTEM 'n.ent'>%n;"},
      {"sub/n.ent", "<!ELEMENT n ANY>\n<!ELEMENT a ANY!"}},
     "sub/n.ent:2:16", "expected '>'"},
    // [77] TextDecl
    {{{"main.dtd", "<?xml version=\"1.0\"?>\n<!ELEMENT a ANY>"}}, "main.dtd:1:20", "'encoding'"},
    {{{"main.dtd", "<?xml encoding='UTF-8' standalone='yes'?>"}}, "main.dtd:1:24",
     "expected '?>' to end the text declaration"},
    {{{"main.dtd", "<?xml encoding='EBCDIC'?>"}}, "main.dtd:1:16", "'EBCDIC' is not supported"},
    {{{"main.dtd", "\n<?xml encoding='UTF-8'?>"}}, "main.dtd:2:1", "only at the very start"},
    {{{"main.dtd", "<!ENTITY % m SYSTEM 'sub/m.ent'>%m;"},
      {"sub/m.ent", "<!ELEMENT a ANY>\n<?xml encoding='UTF-8'?>"}},
     "sub/m.ent:2:1", "only at the very start"},
    {{{"main.dtd", "<?xml encoding='US-ASCII'?>\n<!ELEMENT \xC3\xA9 ANY>"}}, "main.dtd:2:11",
     "not US-ASCII"},
    {{{"main.dtd", "<!ELEMENT a ANY>\x01"}}, "main.dtd:1:17", "U+0001 is not allowed"},
    // XML 1.0 4.4.8: a reference inside a declaration is read with a blank on each side
    {{{"main.dtd", "<!ENTITY % e \"EMP\">\n<!ELEMENT x %e;TY>"}}, "main.dtd:2:13",
     "found 'EMP' (in parameter entity '%e;')"},
    {{{"main.dtd", "<!ENTITY % g \"(a|b)\">\n<!ELEMENT x %g;*>"}}, "main.dtd:2:16",
     "expected '>'"},
    {{{"main.dtd", "<!ENTITY % p \"(a|b,c)\">\n<!ELEMENT x %p;>"}}, "main.dtd:2:13",
     "(use parentheses) (in parameter entity '%p;')"},
    {{{"main.dtd", "<!ELEMENT x (a|%u;)>"}}, "main.dtd:1:16", "'%u;' is not declared"},
    // WFC: PE Between Declarations
    {{{"main.dtd", "<!ENTITY % p \"<!ELEMENT a\">\n%p; ANY>"}}, "main.dtd:2:1",
     "found the end of parameter entity '%p;'"},
    // WFC: No Recursion, in a literal too
    {{{"main.dtd", "<!ENTITY % r \"&#37;r;\">\n<!ENTITY e \"x%r;\">"}}, "main.dtd:2:14",
     "'%r;' refers to itself (in parameter entity '%r;')"},
    // [61]-[65] conditional sections
    {{{"main.dtd", "<![INCLUDE[\n<!ELEMENT a ANY>\n"}}, "main.dtd:1:1",
     "the conditional section that begins here is not closed"},
    {{{"main.dtd", "<![IGNORE[ <![IGNORE[ ]]> <!ELEMENT a ANY>"}}, "main.dtd:1:1",
     "the IGNORE section that begins here is not closed"},
    {{{"main.dtd", "<!ELEMENT a ANY> ]]>"}}, "main.dtd:1:18", "closes no conditional section"},
    {{{"main.dtd", "<!ENTITY % s \"<![INCLUDE[\">\n%s;\n]]>"}}, "main.dtd:2:1",
     "not closed: expected ']]>' before the end of parameter entity '%s;'"},
    {{{"main.dtd", "<![ include [ ]]>"}}, "main.dtd:1:1", "expected 'INCLUDE' or 'IGNORE'"},
    {{{"main.dtd", "<![INCLUDE <!ELEMENT a ANY> ]]>"}}, "main.dtd:1:12", "expected '['"},
};

} // namespace

TEST(DtdFile, MalformedFilesAreRefusedWhereTheFaultIs) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("ostrel_test_dtd_" + std::to_string(getpid()));
    for (const MalformedFile& c : kMalformedFiles) {
        fs::remove_all(dir);
        for (const auto& file : c.files) {
            fs::create_directories((dir / file.first).parent_path());
            ostrel_test::writeFile((dir / file.first).string(), file.second);
        }
        const std::string main = (dir / c.files.front().first).string();
        const size_t colon = c.at.find(':');
        const std::string file = (dir / c.at.substr(0, colon)).string();
        expectError(fileError(main), file, c.at.substr(colon + 1), c.fragment,
                    c.files.front().second);
    }
    fs::remove_all(dir);
    expectError(fileError("/nonexistent/dir/x.dtd"), "/nonexistent/dir/x.dtd", "1:1",
                "cannot open the DTD file", "missing file");
}

TEST(DtdFile, TheSystemsDtdsAreRead) {
    const struct {
        const char* path;
        size_t elements;
        const char* element;
        const char* model;
    } dtds[] = {
        {"/usr/share/X11/xkb/rules/xkb.dtd", 21, "xkbConfigRegistry",
         "(modelList, layoutList, optionList)"},
        {"/usr/share/xml/fontconfig/fonts.dtd", 55, "patelt",
         "(int | double | string | matrix | bool | charset | langset | const)*"},
    };
    int read = 0;
    for (const auto& d : dtds) {
        if (!std::filesystem::exists(d.path)) continue;
        ++read;
        const Dtd dtd = ostrel_xml::readDtdFile(d.path);
        EXPECT_EQ(dtd.elements.size(), d.elements) << d.path;
        const ostrel_xml::DtdElement* element = dtd.findElement(d.element);
        ASSERT_NE(element, nullptr) << d.path;
        EXPECT_EQ(ostrel_xml::describeModel(*element), d.model);
    }
    if (read == 0) GTEST_SKIP() << "neither xkb.dtd nor fonts.dtd is installed";
}
