// The importer base, driven by a real derived importer over real files: opening and
// closing around the parser, failures, descriptors, copies, and symbol-table seeding.
#include "support/file_util.h"
#include "support/symbol_script.h"
#include "support/test_element.h"

#include <ostrelbase/xmlimporterbase.h>

#include <gtest/gtest.h>

#include <dirent.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <sstream>
#include <utility>

using Ostrel::XException;
using Ostrel::XMLImporterBase;
using ostrel_test::messageOf;

namespace {

// Open descriptors of this process, or -1 where /proc/self/fd is not there.
int openDescriptors() {
#ifdef _WIN32
    return -1;  // what Wine shows there are its own descriptors, not the program's
#endif
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) return -1;
    int count = 0;
    while (dirent* entry = readdir(dir)) count += entry->d_name[0] != '.';
    closedir(dir);
    return count - 1;  // the directory's own
}

#define REQUIRE_DESCRIPTOR_COUNT(baseline)                                        \
    const int baseline = openDescriptors();                                      \
    if (baseline < 0) GTEST_SKIP() << "no /proc/self/fd to count descriptors in"

std::string readLine(std::FILE* in) {
    std::string line;
    for (int c; (c = std::fgetc(in)) != EOF && c != '\n';) line += static_cast<char>(c);
    return line;
}

// A small importer of the kind a generator emits. The document: the root tag on the first
// line, then "tag: text" lines, each a text child whose text goes through the symbol
// table; a line "!fail" makes the parser throw.
class LineImporter final : public XMLImporterBase {
public:
    explicit LineImporter(const Ostrel::_TextEntity* entities = nullptr) : m_entities(entities) {}
    using XMLImporterBase::GetCurrentXMLFileStream;
    using XMLImporterBase::InitSymbolTable;
    void closeStreamItself() {  // as a parser may
        std::fclose(m_currentXMLFileStream);
        m_currentXMLFileStream = nullptr;
    }
    std::function<void(LineImporter&)> beforeParse;  // runs first in each parse
    bool storeRoot = true;
    int parses = 0;

protected:
    void ParseXMLFile() override {
        ++parses;
        if (beforeParse) beforeParse(*this);
        InitSymbolTable(m_entities);
        std::FILE* in = GetCurrentXMLFileStream();
        const std::string tag = in ? readLine(in) : "";
        if (tag.empty()) throw XException("Error: no root in '" + GetOriginalFileName() + "'", "parser", 1);
        auto root = std::make_unique<ostrel_test::Element>(tag.c_str());
        for (std::string line; !(line = readLine(in)).empty();) {
            if (line == "!fail") throw XException("Error: failed at line 2", "parser.cpp", 77);
            const auto colon = line.find(": ");
            const int index = SymbolInsert(line.c_str() + colon + 2, 0);
            if (index < 0) throw XException(std::string("Error: ") + SymbolGetLastError(), "parser", 2);
            auto* text = new Ostrel::string(SymbolGetEntry(index));
            text->SetTag(line.substr(0, colon));
            root->add(text);
        }
        if (storeRoot) m_importedXObject = root.release();
    }

private:
    const Ostrel::_TextEntity* m_entities;
};

std::string xmlOf(Ostrel::XObject* object) {
    std::ostringstream out;
    if (object) object->EmitXML(out, 0);
    return out.str();
}

// A document file, written on construction and removed on destruction.
struct Document : ostrel_test::TempFile {
    Document(const std::string& stem, const std::string& content) : TempFile(stem) {
        ostrel_test::writeFile(path(), content);
    }
};

class Importer : public ::testing::Test {
protected:
    void TearDown() override {
        SymbolResetTable();
        SymbolResolveEntities(1);
    }
};

} // namespace

TEST_F(Importer, ImportsWithOrWithoutPreprocessingWhileTheStreamIsOpen) {
    REQUIRE_DESCRIPTOR_COUNT(baseline);
    const Ostrel::_TextEntity entities[] = {{"copy", "(c)"}, {nullptr, nullptr}};
    Document doc("catalog.txt", "catalog\ntitle: Tom &amp; Jerry\nnote: &copy; 20&#50;4\n");
    LineImporter importer(entities);
    const char* expected[] = {
        "<catalog>\n\t<title>Tom &amp;amp; Jerry</title>\n"
        "\t<note>&amp;copy; 20&amp;#50;4</note>\n</catalog>\n",
        "<catalog>\n\t<title>Tom &amp; Jerry</title>\n\t<note>(c) 2024</note>\n</catalog>\n"};
    for (bool mode : {true, false}) {
        std::FILE* seen = nullptr;
        importer.beforeParse = [&](LineImporter& self) {
            SymbolInsert("before", 0);
            seen = self.GetCurrentXMLFileStream();
            EXPECT_EQ(self.GetPreprocessorMode(), mode);
            EXPECT_EQ(self.GetOriginalFileName(), doc.path());
            EXPECT_EQ(openDescriptors(), baseline + 1);
        };
        importer.ImportFromFile(doc.path(), mode);
        EXPECT_NE(seen, nullptr);
        EXPECT_EQ(importer.GetCurrentXMLFileStream(), nullptr);
        EXPECT_EQ(openDescriptors(), baseline);
        EXPECT_EQ(xmlOf(importer.GetXObject()), expected[mode]);
        XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
    }
    EXPECT_EQ(importer.parses, 2);
    // Without preprocessing the table stays empty and unresolving.
    EXPECT_EQ(SymbolGetCount(), 2);  // its own two texts
    EXPECT_STREQ(SymbolGetEntry(SymbolInsert("&amp;&e;", 0)), "&amp;&e;");
    // The root stays until a parser stores another; deleting it does not tell the importer.
    importer.beforeParse = nullptr;
    importer.ImportFromFile(doc.path(), true);
    Ostrel::XObject* first = importer.GetXObject();
    importer.storeRoot = false;
    importer.ImportFromFile(doc.path(), true);
    EXPECT_EQ(importer.GetXObject(), first);
    XMLImporterBase::DeleteImportedXObject(first);
    EXPECT_EQ(importer.GetXObject(), first);
    XMLImporterBase::DeleteImportedXObject(nullptr);
}

TEST_F(Importer, EmptyNameChangesNothingMissingFileIsReported) {
    LineImporter importer;
    EXPECT_EQ(importer.GetOriginalFileName(), "");
    EXPECT_TRUE(importer.GetPreprocessorMode());
    EXPECT_EQ(importer.GetXObject(), nullptr);
    const std::string empty = "Error: ImportFromFile() called with an empty filename";
    EXPECT_EQ(messageOf([&] { importer.ImportFromFile("", false); }), empty);
    EXPECT_TRUE(importer.GetPreprocessorMode());
    const std::string name = "/nonexistent-ostrel-dir/missing.xml";
    try {
        importer.ImportFromFile(name, false);
        ADD_FAILURE() << "no exception";
    } catch (XException& e) {
        EXPECT_EQ(e.GetMsg(), "Error: ImportFromFile() could not open file '" + name + "', Msg: '" +
                                  std::strerror(ENOENT) + "'");
        EXPECT_NE(e.GetSourceFile().find("xmlimporterbase"), std::string::npos);
    }
    EXPECT_EQ(messageOf([&] { importer.ImportFromFile("", true); }), empty);
    EXPECT_EQ(importer.GetOriginalFileName(), name);  // name and mode of the missing file stay
    EXPECT_FALSE(importer.GetPreprocessorMode());
    EXPECT_EQ(importer.GetCurrentXMLFileStream(), nullptr);
    EXPECT_EQ(importer.parses, 0);
}

// A parser's exception passes unchanged; its stream stays open for the caller to look at,
// until the next import (opened or not) or the destructor closes it.
TEST_F(Importer, FailedParseLeavesItsStreamToTheNextImport) {
    REQUIRE_DESCRIPTOR_COUNT(baseline);
    Document broken("broken.txt", "root\n!fail\nafter: more\n"), good("good.txt", "root\n");
    {
        LineImporter importer;
        try {
            importer.ImportFromFile(broken.path(), true);
            FAIL() << "no exception";
        } catch (XException& e) {
            EXPECT_EQ(e.GetMsg(), "Error: failed at line 2");
            EXPECT_EQ(e.GetSourceFile(), "parser.cpp");
            EXPECT_EQ(e.GetSourceLine(), 77);
        }
        ASSERT_NE(importer.GetCurrentXMLFileStream(), nullptr);
        EXPECT_EQ(readLine(importer.GetCurrentXMLFileStream()), "after: more");
        EXPECT_EQ(openDescriptors(), baseline + 1);
        importer.ImportFromFile(good.path(), true);
        EXPECT_EQ(openDescriptors(), baseline);
        XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
        messageOf([&] { importer.ImportFromFile(broken.path(), true); });
        const std::string none = broken.path() + ".none";
        const std::string missing = messageOf([&] { importer.ImportFromFile(none, true); });
        EXPECT_NE(missing.find("could not open"), std::string::npos);
        EXPECT_EQ(importer.GetCurrentXMLFileStream(), nullptr);
        EXPECT_EQ(openDescriptors(), baseline);
        messageOf([&] { importer.ImportFromFile(broken.path(), true); });
        EXPECT_EQ(openDescriptors(), baseline + 1);
    }
    EXPECT_EQ(openDescriptors(), baseline);
    // A parser may close its stream itself: it then has nothing to read; nothing is closed twice.
    LineImporter importer;
    importer.beforeParse = [](LineImporter& self) { self.closeStreamItself(); };
    EXPECT_EQ(messageOf([&] { importer.ImportFromFile(good.path(), true); }),
              "Error: no root in '" + good.path() + "'");
    EXPECT_EQ(importer.GetCurrentXMLFileStream(), nullptr);
    EXPECT_EQ(openDescriptors(), baseline);
}

TEST_F(Importer, CopyMadeDuringAParseLeavesTheStreamToTheOriginal) {
    REQUIRE_DESCRIPTOR_COUNT(baseline);
    Document first("first.txt", "first\n"), doc("copied.txt", "root\nt: still read after the copy is gone\n");
    LineImporter importer;
    importer.ImportFromFile(first.path(), true);
    Ostrel::XObject* root = importer.GetXObject();
    importer.beforeParse = [&](LineImporter& self) {
        LineImporter copy(self), assigned;
        assigned = self;
        for (LineImporter* other : {&copy, &assigned}) {
            EXPECT_EQ(other->GetCurrentXMLFileStream(), nullptr);
            EXPECT_EQ(other->GetOriginalFileName(), doc.path());
            EXPECT_FALSE(other->GetPreprocessorMode());
            EXPECT_EQ(other->GetXObject(), root);
        }
        EXPECT_NE(self.GetCurrentXMLFileStream(), nullptr);
    };  // both destroyed here, while the stream is in use
    importer.ImportFromFile(doc.path(), false);
    EXPECT_EQ(xmlOf(importer.GetXObject()), "<root>\n\t<t>still read after the copy is gone</t>\n</root>\n");
    EXPECT_EQ(openDescriptors(), baseline);
    XMLImporterBase::DeleteImportedXObject(root);
    XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
}

TEST_F(Importer, EachLeftStreamIsClosedOnceWhateverWasCopied) {
    REQUIRE_DESCRIPTOR_COUNT(baseline);
    Document broken("copies.txt", "root\n!fail\nrest\n");
    {
        LineImporter a, b;
        messageOf([&] { a.ImportFromFile(broken.path(), true); });
        messageOf([&] { b.ImportFromFile(broken.path(), false); });
        std::FILE* streamOfA = a.GetCurrentXMLFileStream();
        std::FILE* streamOfB = b.GetCurrentXMLFileStream();
        EXPECT_EQ(openDescriptors(), baseline + 2);
        {
            LineImporter copy(a);
            EXPECT_EQ(copy.GetCurrentXMLFileStream(), nullptr);
            // The copy is an importer of its own: its failed parse leaves its stream too.
            messageOf([&] { copy.ImportFromFile(broken.path(), true); });
            EXPECT_NE(copy.GetCurrentXMLFileStream(), nullptr);
            a = b;  // a keeps its own stream and takes none of b's
            EXPECT_EQ(a.GetCurrentXMLFileStream(), streamOfA);
            EXPECT_FALSE(a.GetPreprocessorMode());
            b = copy;
            EXPECT_EQ(b.GetCurrentXMLFileStream(), streamOfB);
        }
        EXPECT_EQ(openDescriptors(), baseline + 2);
        // Both streams are still alive: the copies closed nothing.
        ASSERT_NE(streamOfA, nullptr);
        ASSERT_NE(streamOfB, nullptr);
        EXPECT_EQ(readLine(streamOfA), "rest");
        EXPECT_EQ(readLine(streamOfB), "rest");
    }
    EXPECT_EQ(openDescriptors(), baseline);
}

TEST_F(Importer, ImportStartedByTheParserGivesItsStreamBack) {
    REQUIRE_DESCRIPTOR_COUNT(baseline);
    Document inner("inner.txt", "inner\nt: from inside\n"), broken("innerbroken.txt", "inner\n!fail\n"),
        outer("outer.txt", "outer\nt: read after the inner imports\n");
    LineImporter importer;
    std::unique_ptr<Ostrel::XObject> innerRoot;
    bool started = false;
    importer.beforeParse = [&](LineImporter& self) {
        if (std::exchange(started, true)) return;
        std::FILE* mine = self.GetCurrentXMLFileStream();
        self.ImportFromFile(inner.path(), true);
        innerRoot.reset(self.GetXObject());
        EXPECT_EQ(self.GetCurrentXMLFileStream(), mine);
        EXPECT_EQ(messageOf([&] { self.ImportFromFile(broken.path(), true); }), "Error: failed at line 2");
        EXPECT_EQ(self.GetCurrentXMLFileStream(), mine);
        EXPECT_NE(messageOf([&] { self.ImportFromFile(inner.path() + ".none", true); }), "(nothing thrown)");
        EXPECT_EQ(self.GetCurrentXMLFileStream(), mine);
        EXPECT_EQ(openDescriptors(), baseline + 1);
    };
    importer.ImportFromFile(outer.path(), true);
    EXPECT_EQ(xmlOf(innerRoot.get()), "<inner>\n\t<t>from inside</t>\n</inner>\n");
    EXPECT_EQ(xmlOf(importer.GetXObject()), "<outer>\n\t<t>read after the inner imports</t>\n</outer>\n");
    EXPECT_EQ(importer.GetOriginalFileName(), inner.path() + ".none");
    EXPECT_EQ(openDescriptors(), baseline);
    XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
}

// The entity records a parser seeds the symbol table with, in data/importer/seeding.txt.
TEST_F(Importer, SeedsTheSymbolTableAsTheScriptSays) {
    LineImporter importer;
    ostrel_test::runScript(OSTREL_IMPORTER_DATA "/seeding.txt", [&](const auto& f) {
        if (!f[0].is("seed")) return false;
        std::vector<std::string> texts;
        std::vector<Ostrel::_TextEntity> records;
        for (std::size_t i = 1; i < f.size(); ++i) texts.push_back(f[i].is("null") ? "" : f[i].text);
        for (std::size_t i = 1; i + 1 < f.size(); i += 2)
            records.push_back({f[i].is("null") ? nullptr : texts[i - 1].c_str(),
                               f[i + 1].is("null") ? nullptr : texts[i].c_str()});
        records.push_back({nullptr, nullptr});
        importer.InitSymbolTable(f.size() > 1 ? records.data() : nullptr);
        return true;
    });
}
