// The ostrel tool as a user runs it: exit status, output, and OUT left alone on errors.
#include "support/file_util.h"
#include "support/tool_run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>

using ostrel_test::readFile;
using ostrel_test::TempFile;
using ostrel_test::writeFile;

namespace {

using ostrel_test::ToolRun;

ToolRun ostrel(const std::vector<std::string>& args) {
    return ostrel_test::runProgram(OSTREL_TOOL, args);
}

const std::string samples = OSTREL_SAMPLES;

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool oneLine(const std::string& text) {
    return !text.empty() && text.find('\n') == text.size() - 1;
}

// Names in a directory that begin with prefix.
int countEntries(const std::string& dir, const std::string& prefix) {
    int n = 0;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name).compare(0, prefix.size(), prefix) == 0) ++n;
        closedir(d);
    }
    return n;
}

} // namespace

TEST(Tool, HelpGoesToStandardOutput) {
    ToolRun run = ostrel({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(startsWith(run.out, "usage: ostrel "));
    EXPECT_NE(run.out.find("roundtrip IN OUT"), std::string::npos);
    EXPECT_EQ(run.err, "");
}

TEST(Tool, BadArgumentsGiveOneLineAndStatusTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {}, {"frobnicate", "x"}, {"roundtrip", "only-in"}, {"stats"}, {"stats", "a", "b"},
        {"--verbose", "stats", "x"}};
    for (const auto& args : bad) {
        ToolRun run = ostrel(args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(oneLine(run.err)) << run.err;
        EXPECT_TRUE(startsWith(run.err, "ostrel: Error: ")) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

TEST(Tool, RoundtripWritesTheDocumentAndASummary) {
    TempFile out("tool_library.xml");
    ToolRun run = ostrel({"roundtrip", samples + "/library.xml", out.path()});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(oneLine(run.out)) << run.out;
    EXPECT_NE(run.out.find(": 13 elements, 8 attributes, "), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("(generic binding)"), std::string::npos);
    const std::string written = readFile(out.path());
    EXPECT_TRUE(startsWith(written, "<?xml version='1.0'?>\n<!-- created with Ostrel version "
                                    "1.2 -->\n<library "));
    EXPECT_NE(written.find("<imprint>\xC2\xA9 2024 Ostrel Press</imprint>"), std::string::npos);
    // Written again, the written document comes out the same.
    TempFile again("tool_library2.xml");
    ASSERT_EQ(ostrel({"roundtrip", out.path(), again.path()}).status, 0);
    EXPECT_EQ(readFile(again.path()), written);
    // A new file gets the permissions the umask leaves, not those of a scratch file.
    const mode_t mask = umask(0);
    umask(mask);
    struct stat st {};
    ASSERT_EQ(stat(again.path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);
}

TEST(Tool, RoundtripOfTheXkbSampleKeepsItsDoctype) {
    TempFile out("tool_keyboards.xml");
    ToolRun run = ostrel({"roundtrip", samples + "/keyboards.xml", out.path()});
    ASSERT_EQ(run.status, 0) << run.err;
#ifdef OSTREL_WITH_XKB
    EXPECT_NE(run.out.find("(XKB binding)"), std::string::npos) << run.out;
#endif
    EXPECT_NE(readFile(out.path()).find("<!DOCTYPE xkbConfigRegistry SYSTEM \"xkb.dtd\">"),
              std::string::npos);
}

TEST(Tool, AfterAnErrorOutIsNeitherCreatedNorChanged) {
    TempFile bad("tool_bad.xml"), out("tool_out.xml");
    writeFile(bad.path(), "<a>\n<b></a>\n");
    ToolRun run = ostrel({"roundtrip", bad.path(), out.path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "ostrel: Error: " + bad.path() +
                           ":2:4: end tag '</a>' does not match the start tag '<b>' at line 2, "
                           "column 1: expected '</b>'\n");
    struct stat st {};
    EXPECT_NE(stat(out.path().c_str(), &st), 0);

    writeFile(out.path(), "precious");
    for (const std::string& in : {bad.path(), std::string("/nonexistent/in.xml")}) {
        run = ostrel({"roundtrip", in, out.path()});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(oneLine(run.err)) << run.err;
        EXPECT_EQ(readFile(out.path()), "precious");
    }
    EXPECT_EQ(countEntries("/tmp", "." + out.path().substr(5) + ".tmp"), 0);
}

TEST(Tool, UnwritableOutputIsAnErrorAndLeavesNothing) {
    ToolRun run = ostrel({"roundtrip", samples + "/library.xml", "/nonexistent/dir/out.xml"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(startsWith(run.err, "ostrel: Error: cannot create a file beside "
                                    "'/nonexistent/dir/out.xml': "))
        << run.err;
    run = ostrel({"roundtrip", samples + "/library.xml", "/tmp"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "ostrel: Error: output '/tmp' is a directory\n");
}

TEST(Tool, StatsAndSymbolsReportTheImport) {
    ToolRun run = ostrel({"stats", samples + "/library.xml"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("root:        library (generic binding)\n"), std::string::npos);
    EXPECT_NE(run.out.find("elements:    13\n"), std::string::npos);
    run = ostrel({"symbols", samples + "/library.xml"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(startsWith(run.out, "\nFinal Symbol Table\n"
                                    "Index     Token     Symbol Name             Association\n"))
        << run.out;
    EXPECT_NE(run.out.find("  1       0                 publisher       2\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("                   library       0\n"), std::string::npos);
}

TEST(Tool, NoPreprocessKeepsReferencesAsWritten) {
    TempFile in("tool_refs.xml"), out("tool_refs_out.xml");
    writeFile(in.path(), "<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;&#65;</a>");
    ASSERT_EQ(ostrel({"--no-preprocess", "roundtrip", in.path(), out.path()}).status, 0);
    EXPECT_NE(readFile(out.path()).find("<a>&amp;e;&amp;#65;</a>"), std::string::npos);
    ToolRun run = ostrel({"symbols", "--no-preprocess", in.path()});
    EXPECT_EQ(run.out.find("Entity"), std::string::npos);
    EXPECT_EQ(run.out.find("  e  "), std::string::npos);
    ASSERT_EQ(ostrel({"roundtrip", in.path(), out.path()}).status, 0);
    EXPECT_NE(readFile(out.path()).find("<a>xA</a>"), std::string::npos);
}

TEST(Tool, LargeInputsShowProgressOnATerminalOnly) {
    if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "no script(1)";
    TempFile in("tool_large.xml"), out("tool_large_out.xml"), log("tool_large.log");
    std::string doc = "<r>";
    while (doc.size() < 5 * 1024 * 1024) doc += "<item n='some value'>some text</item>\n";
    doc += "</r>";
    writeFile(in.path(), doc);
    const std::string size = std::to_string(doc.size());
    // script(1) gives the tool a terminal; its output lands in the log.
    const std::string command = "script -qec \"" + std::string(OSTREL_TOOL) + " roundtrip " +
                                in.path() + " " + out.path() + "\" '" + log.path() +
                                "' </dev/null >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string shown = readFile(log.path());
    EXPECT_NE(shown.find("ostrel: reading " + in.path() + ": " + size + " of " + size +
                         " bytes (100%)"),
              std::string::npos)
        << shown;
    // Without a terminal: no progress at all.
    ToolRun run = ostrel({"roundtrip", in.path(), out.path()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
}
