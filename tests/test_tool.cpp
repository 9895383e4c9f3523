// The ostrel tool as a user runs it: exit status, output, and OUT left as it was on errors.
// Command lines and what they print are in tests/data/tool/cases.txt.
#include "support/case_file.h"
#include "support/tool_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include <dirent.h>
#include <sys/stat.h>

using namespace ostrel_test;

namespace {

const std::string samples = OSTREL_SAMPLES;

ToolRun ostrel(const std::vector<std::string>& args) { return runProgram(OSTREL_TOOL, args); }

} // namespace

TEST(Tool, CommandLinesGiveTheirStatusAndOutput) {
    TempFile out("tool_out.xml");
    for (const Case& c : readCases(OSTREL_TEST_DATA "/tool/cases.txt")) {
#ifndef OSTREL_WITH_XKB
        if (c.fields[3].text == "(XKB binding)") continue;
#endif
        const auto expand = [&out](std::string text) {
            for (const auto& at : {std::make_pair("@S", samples), std::make_pair("@O", out.path()),
                                   std::make_pair("@D", std::string(OSTREL_TEST_DATA "/tool"))})
                for (std::size_t i; (i = text.find(at.first)) != std::string::npos;) text.replace(i, 2, at.second);
            return text;
        };
        std::vector<std::string> args;
        for (std::size_t i = 4; i < c.fields.size(); ++i) args.push_back(expand(c.fields[i].text));
        writeFile(out.path(), "precious");
        const ToolRun run = ostrel(args);
        EXPECT_EQ(run.status, std::stoi(c.fields[0].text)) << c.where << "\n" << run.err;
        const std::string shown =
            c.fields[1].is("file") ? readFile(out.path()) : c.fields[1].is("out") ? run.out : run.err;
        const std::string& how = c.fields[2].text, text = expand(c.fields[3].text);
        const bool has = shown.find(text) != std::string::npos;
        EXPECT_TRUE(how == "is" ? shown == text : how == "starts" ? shown.rfind(text, 0) == 0
                    : how == "lacks" ? !has : has) << c.where << "\n" << shown;
        if (how == "line" || run.status != 0) {
            EXPECT_EQ(std::count(shown.begin(), shown.end(), '\n'), 1) << c.where << "\n" << shown;
        }
        if (run.status != 0) {
            EXPECT_EQ(run.out, "") << c.where;
            EXPECT_EQ(readFile(out.path()), "precious") << c.where << ": OUT was changed";
        }
    }
    // Nor is a scratch file left beside OUT in /tmp.
    const std::string scratch = "." + out.path().substr(5) + ".tmp";
    DIR* dir = opendir("/tmp");
    ASSERT_NE(dir, nullptr);
    while (dirent* e = readdir(dir)) EXPECT_NE(std::string(e->d_name).rfind(scratch, 0), 0u) << e->d_name;
    closedir(dir);
}

TEST(Tool, RoundtripWritesWithTheUmasksPermissions) {
    TempFile out("tool_library.xml");
    ASSERT_EQ(ostrel({"roundtrip", samples + "/library.xml", out.path()}).status, 0);
    const mode_t mask = umask(0);
    umask(mask);
    struct stat st {};
    ASSERT_EQ(stat(out.path().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666u & ~mask);  // not those of a scratch file
}

TEST(Tool, LargeInputsShowProgressOnATerminalOnly) {
    if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "no script(1)";
    TempFile in("tool_large.xml"), out("tool_large_out.xml"), log("tool_large.log");
    std::string doc = "<r>";
    while (doc.size() < 5 * 1024 * 1024) doc += "<item n='some value'>some text</item>\n";
    writeFile(in.path(), doc += "</r>");
    const std::string size = std::to_string(doc.size());
    // script(1) gives the tool a terminal; its output lands in the log.
    const std::string command = "script -qec \"" + std::string(OSTREL_TOOL) + " roundtrip " +
                                in.path() + " " + out.path() + "\" '" + log.path() + "' </dev/null >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_NE(readFile(log.path()).find("ostrel: reading " + in.path() + ": " + size + " of " +
                                        size + " bytes (100%)"), std::string::npos) << readFile(log.path());
    const ToolRun run = ostrel({"roundtrip", in.path(), out.path()});  // no terminal: no progress
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
}
