// The importer base, driven by a real derived importer over real files: opening and
// closing around the parser, failures, descriptors, copies, and symbol-table seeding.
#include "support/file_util.h"
#include "support/test_element.h"

#include <ostrelbase/symboltable.h>
#include <ostrelbase/xmlimporterbase.h>

#include <gtest/gtest.h>

#include <dirent.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>
#include <sstream>

using Ostrel::XException;
using Ostrel::_TextEntity;
using ostrel_test::messageOf;
using ostrel_test::TempFile;
using ostrel_test::writeFile;

namespace {

// Open descriptors of this process, or -1 where /proc/self/fd is not there.
int openDescriptors() {
#ifdef _WIN32
    return -1;  // what Wine shows there are its own descriptors, not the program's
#endif
    DIR* dir = opendir("/proc/self/fd");
    if (dir == nullptr) return -1;
    int count = 0;
    while (dirent* entry = readdir(dir))
        if (entry->d_name[0] != '.') ++count;
    closedir(dir);
    return count - 1;  // the directory's own
}

#define REQUIRE_DESCRIPTOR_COUNT(baseline)                                        \
    const int baseline = openDescriptors();                                      \
    if (baseline < 0) GTEST_SKIP() << "no /proc/self/fd to count descriptors in"

bool readLine(std::FILE* in, std::string& line) {
    line.clear();
    int c;
    while ((c = std::fgetc(in)) != EOF && c != '\n') line += static_cast<char>(c);
    return c != EOF || !line.empty();
}

// A small importer of the kind a generator emits. The document: the root tag on the first
// line, then "tag: text" lines, each a text child whose text goes through the symbol
// table; a line "!fail" makes the parser throw.
class LineImporter final : public Ostrel::XMLImporterBase {
public:
    explicit LineImporter(const _TextEntity* entities = nullptr) : m_entities(entities) {}
    LineImporter(const LineImporter&) = default;
    LineImporter& operator=(const LineImporter&) = default;
    ~LineImporter() = default;

    using XMLImporterBase::GetCurrentXMLFileStream;
    using XMLImporterBase::InitSymbolTable;

    // A parser that closes its stream itself, as it may.
    void closeStreamItself() {
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
        std::string line;
        if (in == nullptr || !readLine(in, line) || line.empty())
            throw XException("Error: no root in '" + GetOriginalFileName() + "'", "parser", 1);
        auto root = std::make_unique<ostrel_test::Element>(line.c_str());
        for (int number = 2; readLine(in, line); ++number) {
            if (line == "!fail") throw XException("Error: failed at line 2", "parser.cpp", 77);
            const auto colon = line.find(": ");
            if (colon == std::string::npos) continue;
            const int index = SymbolInsert(line.c_str() + colon + 2, 0);
            if (index < 0)
                throw XException("Error: line " + std::to_string(number) + ": " +
                                     SymbolGetLastError(), "parser", 2);
            auto* text = new Ostrel::string(SymbolGetEntry(index));
            text->SetTag(line.substr(0, colon));
            root->add(text);
        }
        if (storeRoot) m_importedXObject = root.release();
    }

private:
    const _TextEntity* m_entities;
};

std::string xmlOf(Ostrel::XObject* object) {
    std::ostringstream out;
    if (object) object->EmitXML(out, 0);
    return out.str();
}

// A document file, written on construction and removed on destruction.
struct Document {
    explicit Document(const std::string& stem, const std::string& content) : file(stem) {
        writeFile(file.path(), content);
    }
    const std::string& path() const { return file.path(); }
    TempFile file;
};

class Importer : public ::testing::Test {
protected:
    void TearDown() override {
        SymbolResetTable();
        SymbolResolveEntities(1);
    }
};

} // namespace

// --- importing ----------------------------------------------------------------------

TEST_F(Importer, ImportsAFileWithOrWithoutPreprocessing) {
    const _TextEntity entities[] = {{"copy", "(c)"}, {nullptr, nullptr}};
    Document doc("catalog.txt", "catalog\ntitle: Tom &amp; Jerry\nnote: &copy; 20&#50;4\n");
    LineImporter importer(entities);
    importer.ImportFromFile(doc.path(), true);
    EXPECT_EQ(xmlOf(importer.GetXObject()),
              "<catalog>\n\t<title>Tom &amp; Jerry</title>\n\t<note>(c) 2024</note>\n</catalog>\n");
    Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
    importer.ImportFromFile(doc.path(), false);
    EXPECT_EQ(xmlOf(importer.GetXObject()),
              "<catalog>\n\t<title>Tom &amp;amp; Jerry</title>\n\t<note>&amp;copy; 20&amp;#50;4</note>\n</catalog>\n");
    Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
}

TEST_F(Importer, StreamIsOpenExactlyWhileTheParserRuns) {
    REQUIRE_DESCRIPTOR_COUNT(baseline);
    Document doc("open.txt", "root\n");
    LineImporter importer;
    for (bool mode : {false, true}) {
        std::FILE* seen = nullptr;
        importer.beforeParse = [&](LineImporter& self) {
            seen = self.GetCurrentXMLFileStream();
            EXPECT_EQ(self.GetPreprocessorMode(), mode);
            EXPECT_EQ(self.GetOriginalFileName(), doc.path());
            EXPECT_EQ(openDescriptors(), baseline + 1);
        };
        importer.ImportFromFile(doc.path(), mode);
        EXPECT_NE(seen, nullptr);
        EXPECT_EQ(importer.GetCurrentXMLFileStream(), nullptr);
        EXPECT_EQ(openDescriptors(), baseline);
        Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
    }
    EXPECT_EQ(importer.parses, 2);
}

TEST_F(Importer, RootStaysUntilAParserStoresAnother) {
    Document doc("root.txt", "first\n");
    LineImporter importer;
    importer.ImportFromFile(doc.path(), true);
    Ostrel::XObject* first = importer.GetXObject();
    ASSERT_NE(first, nullptr);
    importer.storeRoot = false;
    importer.ImportFromFile(doc.path(), true);
    EXPECT_EQ(importer.GetXObject(), first);
    Ostrel::XMLImporterBase::DeleteImportedXObject(first);
    EXPECT_EQ(importer.GetXObject(), first);  // the importer is not told
    Ostrel::XMLImporterBase::DeleteImportedXObject(nullptr);
}

// --- failures ---------------------------------------------------------------------------

TEST_F(Importer, EmptyNameChangesNothingMissingFileIsReported) {
    LineImporter importer;
    EXPECT_EQ(importer.GetOriginalFileName(), "");
    EXPECT_TRUE(importer.GetPreprocessorMode());
    EXPECT_EQ(importer.GetXObject(), nullptr);
    EXPECT_EQ(messageOf([&] { importer.ImportFromFile("", false); }),
              "Error: ImportFromFile() called with an empty filename");
    EXPECT_TRUE(importer.GetPreprocessorMode());
    const std::string name = "/nonexistent-ostrel-dir/missing.xml";
    try {
        importer.ImportFromFile(name, false);
        ADD_FAILURE() << "no exception";
    } catch (XException& e) {
        EXPECT_EQ(e.GetMsg(), "Error: ImportFromFile() could not open file '" + name +
                                  "', Msg: '" + std::strerror(ENOENT) + "'");
        EXPECT_NE(e.GetSourceFile().find("xmlimporterbase"), std::string::npos);
    }
    EXPECT_EQ(importer.GetOriginalFileName(), name);  // name and mode are stored
    EXPECT_FALSE(importer.GetPreprocessorMode());
    EXPECT_EQ(messageOf([&] { importer.ImportFromFile("", true); }),
              "Error: ImportFromFile() called with an empty filename");
    EXPECT_EQ(importer.GetOriginalFileName(), name);
    EXPECT_FALSE(importer.GetPreprocessorMode());
    EXPECT_EQ(importer.GetCurrentXMLFileStream(), nullptr);
    EXPECT_EQ(importer.parses, 0);
}

TEST_F(Importer, ParserExceptionPassesUnchangedAndItsStreamStaysOpen) {
    REQUIRE_DESCRIPTOR_COUNT(baseline);
    Document doc("broken.txt", "root\n!fail\nafter: more\n");
    {
        LineImporter importer;
        try {
            importer.ImportFromFile(doc.path(), true);
            FAIL() << "no exception";
        } catch (XException& e) {
            EXPECT_EQ(e.GetMsg(), "Error: failed at line 2");
            EXPECT_EQ(e.GetSourceFile(), "parser.cpp");
            EXPECT_EQ(e.GetSourceLine(), 77);
        }
        // Left for the caller to look at: it reads on where the parser stopped.
        std::FILE* left = importer.GetCurrentXMLFileStream();
        ASSERT_NE(left, nullptr);
        std::string line;
        ASSERT_TRUE(readLine(left, line));
        EXPECT_EQ(line, "after: more");
        EXPECT_EQ(openDescriptors(), baseline + 1);
    }
    EXPECT_EQ(openDescriptors(), baseline);  // closed by the destructor
}

TEST_F(Importer, NextImportClosesTheStreamAFailedParseLeft) {
    REQUIRE_DESCRIPTOR_COUNT(baseline);
    Document broken("left.txt", "root\n!fail\n");
    Document good("good.txt", "root\n");
    LineImporter importer;
    EXPECT_EQ(messageOf([&] { importer.ImportFromFile(broken.path(), true); }),
              "Error: failed at line 2");
    EXPECT_EQ(openDescriptors(), baseline + 1);
    importer.ImportFromFile(good.path(), true);
    EXPECT_EQ(openDescriptors(), baseline);
    Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());

    // Also when the next import fails to open its file.
    EXPECT_EQ(messageOf([&] { importer.ImportFromFile(broken.path(), true); }),
              "Error: failed at line 2");
    EXPECT_NE(messageOf([&] { importer.ImportFromFile(broken.path() + ".none", true); })
                  .find("could not open"),
              std::string::npos);
    EXPECT_EQ(importer.GetCurrentXMLFileStream(), nullptr);
    EXPECT_EQ(openDescriptors(), baseline);
}

TEST_F(Importer, ParserMayCloseItsStreamItself) {
    REQUIRE_DESCRIPTOR_COUNT(baseline);
    Document doc("self.txt", "root\n");
    LineImporter importer;
    importer.beforeParse = [](LineImporter& self) { self.closeStreamItself(); };
    // The parser then has nothing to read and says so; nothing is closed twice.
    EXPECT_EQ(messageOf([&] { importer.ImportFromFile(doc.path(), true); }),
              "Error: no root in '" + doc.path() + "'");
    EXPECT_EQ(importer.GetCurrentXMLFileStream(), nullptr);
    EXPECT_EQ(openDescriptors(), baseline);
}

// --- copies -----------------------------------------------------------------------------

TEST_F(Importer, CopyMadeDuringAParseLeavesTheStreamToTheOriginal) {
    REQUIRE_DESCRIPTOR_COUNT(baseline);
    Document first("first.txt", "first\n");
    Document doc("copied.txt", "root\nt: still read after the copy is gone\n");
    LineImporter importer;
    importer.ImportFromFile(first.path(), true);
    Ostrel::XObject* root = importer.GetXObject();
    importer.beforeParse = [&](LineImporter& self) {
        LineImporter copy(self);
        EXPECT_EQ(copy.GetCurrentXMLFileStream(), nullptr);
        EXPECT_NE(self.GetCurrentXMLFileStream(), nullptr);
        EXPECT_EQ(copy.GetOriginalFileName(), doc.path());
        EXPECT_FALSE(copy.GetPreprocessorMode());
        EXPECT_EQ(copy.GetXObject(), root);
        LineImporter assigned;
        assigned = self;
        EXPECT_EQ(assigned.GetCurrentXMLFileStream(), nullptr);
        EXPECT_EQ(assigned.GetOriginalFileName(), doc.path());
    };  // both destroyed here, while the stream is in use
    importer.ImportFromFile(doc.path(), false);
    EXPECT_EQ(xmlOf(importer.GetXObject()),
              "<root>\n\t<t>still read after the copy is gone</t>\n</root>\n");
    EXPECT_EQ(openDescriptors(), baseline);
    Ostrel::XMLImporterBase::DeleteImportedXObject(root);
    Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
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
        ASSERT_NE(streamOfA, nullptr);
        ASSERT_NE(streamOfB, nullptr);
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
        std::string line;
        ASSERT_TRUE(readLine(streamOfA, line));
        EXPECT_EQ(line, "rest");
        ASSERT_TRUE(readLine(streamOfB, line));
        EXPECT_EQ(line, "rest");
    }
    EXPECT_EQ(openDescriptors(), baseline);
}

TEST_F(Importer, ImportStartedByTheParserGivesItsStreamBack) {
    REQUIRE_DESCRIPTOR_COUNT(baseline);
    Document inner("inner.txt", "inner\nt: from inside\n");
    Document broken("innerbroken.txt", "inner\n!fail\n");
    Document outer("outer.txt", "outer\nt: read after the inner imports\n");
    LineImporter importer;
    std::unique_ptr<Ostrel::XObject> innerRoot;
    bool started = false;
    importer.beforeParse = [&](LineImporter& self) {
        if (started) return;
        started = true;
        std::FILE* mine = self.GetCurrentXMLFileStream();
        self.ImportFromFile(inner.path(), true);
        innerRoot.reset(self.GetXObject());
        EXPECT_EQ(self.GetCurrentXMLFileStream(), mine);
        EXPECT_EQ(messageOf([&] { self.ImportFromFile(broken.path(), true); }),
                  "Error: failed at line 2");
        EXPECT_EQ(self.GetCurrentXMLFileStream(), mine);
        EXPECT_NE(messageOf([&] { self.ImportFromFile(inner.path() + ".none", true); }),
                  "(nothing thrown)");
        EXPECT_EQ(self.GetCurrentXMLFileStream(), mine);
        EXPECT_EQ(openDescriptors(), baseline + 1);
    };
    importer.ImportFromFile(outer.path(), true);
    EXPECT_EQ(xmlOf(innerRoot.get()), "<inner>\n\t<t>from inside</t>\n</inner>\n");
    EXPECT_EQ(xmlOf(importer.GetXObject()),
              "<outer>\n\t<t>read after the inner imports</t>\n</outer>\n");
    EXPECT_EQ(importer.GetOriginalFileName(), inner.path() + ".none");
    EXPECT_EQ(openDescriptors(), baseline);
    Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
}

// --- seeding the symbol table --------------------------------------------------------------

TEST_F(Importer, SeedingWithoutEntitiesGivesThePredefinedOnes) {
    LineImporter importer;
    SymbolResolveEntities(0);
    SymbolInsert("stale", 0);
    importer.InitSymbolTable(nullptr);
    const char* expected[] = {"lt", "<", "gt", ">", "apos", "'", "quot", "\"", "amp", "&"};
    ASSERT_EQ(SymbolGetCount(), 10);
    for (int i = 1; i <= 10; ++i) {
        EXPECT_STREQ(SymbolGetEntry(i), expected[i - 1]) << i;
        EXPECT_EQ(SymbolGetToken(i), 0) << i;
        EXPECT_EQ(SymbolGetAssociatedIndex(i), i % 2 ? i + 1 : 0) << i;
    }
    // Resolution is back on; the '&' of amp is not read again.
    const int index = SymbolInsert("&lt;&amp;lt;&quot;&apos;&gt;", 0);
    ASSERT_GT(index, 0);
    EXPECT_STREQ(SymbolGetEntry(index), "<&lt;\"'>");
}

TEST_F(Importer, WithoutPreprocessingTheTableStaysEmptyAndUnresolving) {
    const _TextEntity entities[] = {{"e", "text"}, {nullptr, nullptr}};
    Document doc("plain.txt", "root\n");
    LineImporter importer(entities);
    importer.beforeParse = [](LineImporter&) { SymbolInsert("before", 0); };
    importer.ImportFromFile(doc.path(), false);
    Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
    EXPECT_EQ(SymbolGetCount(), 0);
    const int index = SymbolInsert("&amp;&e;", 0);
    ASSERT_EQ(index, 1);
    EXPECT_STREQ(SymbolGetEntry(index), "&amp;&e;");
}

TEST_F(Importer, DocumentDefinitionOfAPredefinedEntityIsKept) {
    const _TextEntity entities[] = {{"lt", "LT"}, {"amp", "and"}, {nullptr, nullptr}};
    LineImporter importer(entities);
    importer.InitSymbolTable(entities);
    ASSERT_EQ(SymbolGetCount(), 10);
    EXPECT_STREQ(SymbolGetEntry(1), "lt");
    EXPECT_STREQ(SymbolGetEntry(2), "LT");
    EXPECT_STREQ(SymbolGetEntry(5), "gt");
    EXPECT_STREQ(SymbolGetEntry(9), "quot");
    const int index = SymbolInsert("&lt;&amp;&gt;", 0);
    EXPECT_STREQ(SymbolGetEntry(index), "LTand>");
}

TEST_F(Importer, EntityRecordsEndAtTheFirstNullNameOrText) {
    const _TextEntity nullText[] = {{"a", "1"}, {"b", nullptr}, {"c", "3"}, {nullptr, nullptr}};
    const _TextEntity nullName[] = {{"a", "1"}, {nullptr, "2"}, {"c", "3"}, {nullptr, nullptr}};
    LineImporter importer;
    for (const _TextEntity* entities : {nullText, nullName}) {
        importer.InitSymbolTable(entities);
        EXPECT_EQ(SymbolGetCount(), 12);
        EXPECT_EQ(SymbolLookup("a"), 1);
        EXPECT_EQ(SymbolLookup("b"), 0);
        EXPECT_EQ(SymbolLookup("c"), 0);
    }
}

TEST_F(Importer, EntityTextsAreResolvedAsTheyAreSeeded) {
    const _TextEntity entities[] = {{"e1", "&#65;"},
                                    {"e2", "&e1;B"},
                                    {"e3", "&lt;"},  // lt comes after the document's
                                    {"e4", "ok"},
                                    {"%pe", "x"},
                                    {nullptr, nullptr}};
    LineImporter importer;
    importer.InitSymbolTable(entities);
    auto stored = [](const char* text) {
        const int index = SymbolInsert(text, 0);
        return index > 0 ? std::string(SymbolGetEntry(index)) : "-1: " + std::string(SymbolGetLastError());
    };
    EXPECT_EQ(stored("&e2;"), "AB");
    EXPECT_EQ(stored("&e3;"), "-1: Entity reference e3 undefined");  // its text failed
    EXPECT_EQ(stored("&e4;"), "ok");                                  // seeding went on
    EXPECT_EQ(stored("&%pe;"), " x ");
    EXPECT_EQ(stored("&lt;"), "<");
}
