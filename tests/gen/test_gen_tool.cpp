// ostrel-gen as a command: its errors (bad DTDs, types files and names), which leave no
// output behind, and the same bytes for the same input.
#include "support/case_file.h"
#include "support/file_util.h"
#include "support/tool_run.h"

#include <gtest/gtest.h>

using ostrel_test::readFile;
using ostrel_test::runProgram;

namespace {

const std::string kData = GEN_TEST_DATA;

// A fresh, empty output directory of this process (suites of two builds may run at once).
std::string outputDir(const std::string& name) {
    const std::string dir = ::testing::TempDir() + "ostrel_gen_" + std::to_string(getpid()) + "_" + name;
    EXPECT_EQ(std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str()), 0);
    return dir;
}

std::string withData(std::string text) {
    for (std::size_t at; (at = text.find("@D")) != std::string::npos;) text.replace(at, 2, kData);
    return text;
}

} // namespace

TEST(GenTool, ErrorsNameFileLineAndColumnAndWriteNothing) {
    const auto cases = ostrel_test::readCases(kData + "/tool-errors.txt");
    EXPECT_EQ(cases.size(), 12u);
    for (const ostrel_test::Case& c : cases) {
        const std::string dir = outputDir("errors");
        std::vector<std::string> args;
        for (std::size_t i = 2; i < c.fields.size(); ++i) args.push_back(withData(c.fields[i].text));
        args.insert(args.end() - 1, {"-o", dir});
        const ostrel_test::ToolRun run = runProgram(OSTREL_GEN, args);
        EXPECT_EQ(run.err, withData(c.fields[1].text)) << c.where;
        EXPECT_EQ(run.status, std::stoi(c.fields[0].text)) << c.where;
        EXPECT_EQ(std::system(("rmdir '" + dir + "'").c_str()), 0) << "output left by " << c.where;
    }
}

TEST(GenTool, TheSameInputGivesTheSameBytes) {
    std::string first[2];
    for (int run = 0; run < 2; ++run) {
        const std::string dir = outputDir("same" + std::to_string(run));
        const ostrel_test::ToolRun done = runProgram(
            OSTREL_GEN, {"--types", kData + "/library/library.types", "--root", "library",
                         "--depfile", dir + "/library.d", "-o", dir, kData + "/library/library.dtd"});
        ASSERT_EQ(done.status, 0) << done.err;
        first[run] = readFile(dir + "/library.h") + readFile(dir + "/library.cpp");
        EXPECT_EQ(readFile(dir + "/library.d"),
                  dir + "/library.h " + dir + "/library.cpp: " + kData + "/library/library.dtd " +
                      kData + "/library/library.types\n");
        EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
    }
    EXPECT_FALSE(first[0].empty());
    EXPECT_EQ(first[0], first[1]);
}
