// The importer base, driven by a real derived importer over the files of data/importer:
// the stream it opens and closes around the parser (counted as descriptors), failures,
// copies, nested imports, and symbol-table seeding.
#include "support/symbol_script.h"
#include "support/test_element.h"

#include <ostrelbase/xmlimporterbase.h>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#endif

#include <functional>
#include <memory>
#include <utility>

using Ostrel::XMLImporterBase;
using ostrel_test::messageOf;

namespace {

// Open descriptors of this process; -1 on Windows, where the C runtime's say nothing.
int openDescriptors() {
#ifdef _WIN32
    return -1;
#else
    int count = 0;
    for (int fd = 0; fd < 1024; ++fd) count += fcntl(fd, F_GETFD) != -1;
    return count;
#endif
}

std::string readLine(std::FILE* in) {
    std::string line;
    for (int c; (c = std::fgetc(in)) != EOF && c != '\n';) line += static_cast<char>(c);
    return line;
}

const Ostrel::_TextEntity kEntities[] = {{"copy", "(c)"}, {nullptr, nullptr}};

// An importer of the kind a generator emits. The document: the root tag on the first line,
// then "tag: text" lines, each a text child read through the symbol table; "!fail" throws.
class LineImporter final : public XMLImporterBase {
public:
    using XMLImporterBase::GetCurrentXMLFileStream;
    using XMLImporterBase::InitSymbolTable;
    std::function<void(LineImporter&)> beforeParse;  // runs first in each parse

protected:
    void ParseXMLFile() override {
        if (beforeParse) beforeParse(*this);
        InitSymbolTable(kEntities);
        std::FILE* in = GetCurrentXMLFileStream();
        auto root = std::make_unique<ostrel_test::Element>(readLine(in).c_str());
        for (std::string line; !(line = readLine(in)).empty();) {
            if (line == "!fail") throw Ostrel::XException("Error: failed at line 2", "parser.cpp", 77);
            const auto colon = line.find(": ");
            auto* text = new Ostrel::string(SymbolGetEntry(SymbolInsert(line.c_str() + colon + 2, 0)));
            text->SetTag(line.substr(0, colon));
            root->add(text);
        }
        m_importedXObject = root.release();
    }
};

std::string xmlOf(Ostrel::XObject* object) { return object ? ostrel_test::elementOf(*object) : "(none)"; }

// The documents of data/importer.
const std::string kGood = OSTREL_IMPORTER_DATA "/good.txt", kBroken = OSTREL_IMPORTER_DATA "/broken.txt",
                  kInner = OSTREL_IMPORTER_DATA "/inner.txt", kOuter = OSTREL_IMPORTER_DATA "/outer.txt";

class Importer : public ::testing::Test {
protected:
    void TearDown() override {
        SymbolResetTable();
        SymbolResolveEntities(1);
    }
    // Whether n more descriptors are open than at the start (true where none can be counted).
    bool open(int n) const { return baseline < 0 || openDescriptors() == baseline + n; }
    const int baseline = openDescriptors();
};

} // namespace

// The stream is closed after the parser ran; preprocessing resolves entities.
// (Files that cannot be opened: reliability/test_io_faults.)
TEST_F(Importer, OpensTheFileForTheParserAndReportsWhatItCannotOpen) {
    LineImporter importer;
    const std::string empty = "Error: ImportFromFile() called with an empty filename";
    EXPECT_EQ(messageOf([&] { importer.ImportFromFile("", false); }), empty);
    EXPECT_TRUE(importer.GetPreprocessorMode());
    const char* expected[] = {
        "<catalog>\n\t<title>Tom &amp;amp; Jerry</title>\n"
        "\t<note>&amp;copy; 20&amp;#50;4</note>\n</catalog>\n",
        "<catalog>\n\t<title>Tom &amp; Jerry</title>\n\t<note>(c) 2024</note>\n</catalog>\n"};
    for (bool mode : {true, false}) {
        importer.ImportFromFile(kGood, mode);
        EXPECT_EQ(importer.GetCurrentXMLFileStream(), nullptr);
        EXPECT_TRUE(open(0));
        EXPECT_EQ(xmlOf(importer.GetXObject()), expected[mode]);
        XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
    }
    // Without preprocessing the table stays empty of entities and unresolving.
    EXPECT_EQ(SymbolGetCount(), 2);
    EXPECT_STREQ(SymbolGetEntry(SymbolInsert("&amp;&e;", 0)), "&amp;&e;");
}

// A parser's exception passes unchanged; its stream stays open for the caller to look at,
// until the next import (opened or not) or the destructor closes it. Copies take none.
TEST_F(Importer, FailedParseLeavesItsStreamToTheNextImportOnly) {
    {
        LineImporter importer, other;
        EXPECT_EQ(messageOf([&] { importer.ImportFromFile(kBroken, true); }), "Error: failed at line 2");
        std::FILE* left = importer.GetCurrentXMLFileStream();
        ASSERT_NE(left, nullptr);
        messageOf([&] { other.ImportFromFile(kBroken, false); });
        {
            LineImporter copy(importer), assigned;
            assigned = importer;
            EXPECT_EQ(copy.GetCurrentXMLFileStream(), nullptr);
            EXPECT_EQ(assigned.GetCurrentXMLFileStream(), nullptr);
            importer = other;  // keeps its own stream, takes the rest
            EXPECT_EQ(importer.GetCurrentXMLFileStream(), left);
            EXPECT_FALSE(importer.GetPreprocessorMode());
        }
        EXPECT_TRUE(open(2));
        importer.ImportFromFile(kGood, true);
        XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
        EXPECT_TRUE(open(1));
        EXPECT_NE(messageOf([&] { other.ImportFromFile(kBroken + ".none", true); }), "(nothing thrown)");
        EXPECT_EQ(other.GetCurrentXMLFileStream(), nullptr);
        EXPECT_TRUE(open(0));
        messageOf([&] { importer.ImportFromFile(kBroken, true); });
        EXPECT_TRUE(open(1));
    }
    EXPECT_TRUE(open(0));
}

// A parser that starts imports gets its own stream back.
TEST_F(Importer, ImportsMadeDuringAParseGiveTheStreamBack) {
    LineImporter importer;
    std::unique_ptr<Ostrel::XObject> innerRoot;
    bool started = false;
    importer.beforeParse = [&](LineImporter& self) {
        if (std::exchange(started, true)) return;
        std::FILE* mine = self.GetCurrentXMLFileStream();
        self.ImportFromFile(kInner, true);
        innerRoot.reset(self.GetXObject());
        EXPECT_EQ(self.GetCurrentXMLFileStream(), mine);
        messageOf([&] { self.ImportFromFile(kBroken, true); });
        EXPECT_EQ(self.GetCurrentXMLFileStream(), mine);
        EXPECT_NE(messageOf([&] { self.ImportFromFile(kInner + ".none", true); }), "(nothing thrown)");
        EXPECT_EQ(self.GetCurrentXMLFileStream(), mine);
        EXPECT_TRUE(open(1));
    };
    importer.ImportFromFile(kOuter, false);
    EXPECT_EQ(xmlOf(innerRoot.get()), "<inner>\n\t<t>from inside</t>\n</inner>\n");
    EXPECT_EQ(xmlOf(importer.GetXObject()), "<outer>\n\t<t>read after</t>\n</outer>\n");
    EXPECT_TRUE(open(0));
    XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
}

// The entity records a parser seeds the symbol table with, in data/importer/seeding.txt.
TEST_F(Importer, SeedsTheSymbolTableAsTheScriptSays) {
    LineImporter importer;
    ostrel_test::runScript(OSTREL_IMPORTER_DATA "/seeding.txt", [&](const auto& f) {
        if (!f[0].is("seed")) return false;
        std::vector<Ostrel::_TextEntity> records;
        for (std::size_t i = 1; i + 1 < f.size(); i += 2)
            records.push_back({f[i].is("null") ? nullptr : f[i].text.c_str(),
                               f[i + 1].is("null") ? nullptr : f[i + 1].text.c_str()});
        records.push_back({nullptr, nullptr});
        importer.InitSymbolTable(f.size() > 1 ? records.data() : nullptr);
        return true;
    });
}
