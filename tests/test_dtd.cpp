// The DTD reader: the internal subsets and DTD files of the cases under data/dtd, each read
// into its model or refused where the fault is; positions and lookups; the system's own DTDs.
#include "support/case_file.h"
#include "support/dtd_dump.h"
#include "support/file_util.h"

#include "ostrelxml/dtd_parser.h"

#include <ostrelbase/ostrelexcept.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using ostrel_xml::Dtd;
namespace fs = std::filesystem;

namespace {

const std::string kData = OSTREL_DTD_DATA;

ostrel_xml::InternalSubsetContext context(const std::string& doc) {
    ostrel_xml::InternalSubsetContext c;
    c.file = "doc.xml";
    c.hasExternalSubset = doc == "external";
    c.standalone = doc == "standalone";
    return c;
}

// The model read's dump, or the message of the error.
template <class Read>
std::string outcome(Read read) {
    try {
        return ostrel_test::dumpDtd(read());
    } catch (const Ostrel::XException& e) {
        return e.GetMsg();
    }
}

} // namespace

TEST(DtdInternalSubset, SubsetsGiveTheirModelOrAreRefusedWhereTheFaultIs) {
    const auto cases = ostrel_test::readCases(kData + "/subsets.txt");
    EXPECT_GE(cases.size(), 130u);
    for (const auto& c : cases) {
        const auto& f = c.fields;
        const std::string got =
            outcome([&] { return ostrel_xml::parseInternalSubset(f[2].text, context(f[0].text)); });
        EXPECT_EQ(got, f[3].text) << c.where;
    }
}

TEST(DtdModel, PositionsAndLookups) {
    auto c = context("plain");
    c.line = 3;  // where the subset stands in the document
    c.column = 15;
    const std::string error = outcome(
        [&] { return ostrel_xml::parseInternalSubset("<!ELEMENT a ANY> <!ELEMENT b ANY!\n", c); });
    EXPECT_EQ(error.substr(0, 22), "Error: doc.xml:3:47: e");
    const Dtd dtd = ostrel_xml::parseInternalSubset(
        "<!ENTITY % p '<!ELEMENT x ANY>'>\n  <!ELEMENT \xC3\xA9 ANY> %p;<!ENTITY e 'g'>"
        "<!ENTITY % e 'p'><!NOTATION n SYSTEM 's'>",
        c);
    // A declaration from a parameter entity stands where the reference does.
    std::string at;
    for (const auto& p :
         {dtd.entities[0].position, dtd.elements[0].position, dtd.elements[1].position})
        at += p.file + ":" + std::to_string(p.line) + ":" + std::to_string(p.column) + " ";
    EXPECT_EQ(at, "doc.xml:3:15 doc.xml:4:3 doc.xml:4:20 ");
    // Lookups of elements and attributes are ostrel-gen's (its errors name what they miss);
    // a general and a parameter entity of one name are two.
    EXPECT_EQ(dtd.findEntity("e", false)->value, "g");
    EXPECT_EQ(dtd.findEntity("e", true)->value, "p");
    EXPECT_EQ(dtd.findEntity("f", false), nullptr);
    EXPECT_EQ(dtd.findNotation("n")->systemId, "s");
    EXPECT_EQ(dtd.findNotation("e"), nullptr);
}

TEST(DtdFile, ModulesConditionalSectionsAndTextDeclarations) {
    const Dtd dtd = ostrel_xml::readDtdFile(kData + "/book.dtd");
    EXPECT_EQ(ostrel_test::dumpDtd(dtd), ostrel_test::readFile(kData + "/book.expected"));
    const std::string mod = kData + "/modules/";
    EXPECT_EQ(dtd.files, (std::vector<std::string>{kData + "/book.dtd", mod + "inline.mod",
                                                   mod + "common.ent", mod + "text.ent"}));
    // Declarations read from a module stand in the module's file.
    const auto& em = dtd.findElement("em")->position;
    EXPECT_EQ(em.file + ":" + std::to_string(em.line), mod + "inline.mod:6");
    EXPECT_EQ(dtd.findElement("book")->position.line, 9);
}

TEST(DtdFile, MalformedFilesAreRefusedWhereTheFaultIs) {
    const std::string dir = kData + "/files/";
    for (const auto& c : ostrel_test::readCases(kData + "/files.txt")) {
        const std::string got =
            outcome([&] { return ostrel_xml::readDtdFile(dir + c.fields[0].text); });
        EXPECT_EQ(got.rfind("Error: " + dir + c.fields[1].text + ": ", 0), 0u)
            << c.where << "\n  gives: " << got;
        EXPECT_NE(got.find(c.fields[2].text), std::string::npos) << c.where << "\n  gives: " << got;
    }
}

TEST(DtdFile, TheSystemsDtdsAreRead) {
    int read = 0;
    for (const auto& c : ostrel_test::readCases(kData + "/system.txt")) {
        if (!fs::exists(c.fields[0].text)) continue;
        ++read;
        const Dtd dtd = ostrel_xml::readDtdFile(c.fields[0].text);
        EXPECT_EQ(std::to_string(dtd.elements.size()), c.fields[1].text) << c.where;
        const ostrel_xml::DtdElement* element = dtd.findElement(c.fields[2].text);
        EXPECT_EQ(element ? ostrel_xml::describeModel(*element) : "missing", c.fields[3].text)
            << c.where;
    }
    if (read == 0) GTEST_SKIP() << "none of the DTDs in system.txt is installed";
}
