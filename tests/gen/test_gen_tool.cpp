// ostrel-gen as a command: its errors (bad DTDs, types files and names), which leave no
// output behind, and the same bytes for the same input.
#include "support/file_util.h"
#include "support/tool_run.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include <sys/stat.h>

using ostrel_test::readFile;
using ostrel_test::runProgram;

namespace {

const std::string kData = GEN_TEST_DATA;

// A fresh, empty output directory.
std::string outputDir(const std::string& name) {
    const std::string dir = ::testing::TempDir() + "ostrel_gen_" + name;
    std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
    return dir;
}

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

} // namespace

TEST(GenTool, ErrorsNameFileLineAndColumnAndWriteNothing) {
    struct Case {
        std::vector<std::string> args;  // before "-o DIR DTD"
        std::string dtd;
        std::string expected;  // stderr, with @D for the data directory
        int status;
    };
    const std::string names = "names/names.dtd";
    const std::vector<Case> cases = {
        {{}, "bad/collide.dtd",
         "ostrel-gen: Error: @D/bad/collide.dtd:2:1: elements 'a-b' and 'a_b' would both be "
         "the C++ name 'a_b'\n", 1},
        {{}, "bad/accessors.dtd",
         "ostrel-gen: Error: @D/bad/accessors.dtd:1:1: the accessors of attribute 'tag' in "
         "element 'a' would have the name of another member ('GetTagAttribute')\n", 1},
        {{}, "bad/no-elements.dtd",
         "ostrel-gen: Error: @D/bad/no-elements.dtd:1:1: the DTD declares no element type: "
         "there is nothing to bind\n", 1},
        {{"--types", "@D/bad/yesno.types"}, names,
         "ostrel-gen: Error: @D/bad/yesno.types:2:1: attribute 'xml:space' of element 'config' "
         "names the value 'default', which is not 'true' or 'false'\n", 1},
        {{"--types", "@D/bad/unknown-type.types"}, names,
         "ostrel-gen: Error: @D/bad/unknown-type.types:2:11: unknown type 'float' (expected one "
         "of string, NMTOKENS, IDREFS, boolean, integer, non_negative_integer, positive_integer, "
         "non_positive_integer, negative_integer, real, decimal)\n", 1},
        {{"--types", "@D/bad/unknown-directive.types"}, names,
         "ostrel-gen: Error: @D/bad/unknown-directive.types:1:1: unknown directive 'element' "
         "(expected 'title', 'text' or 'attribute')\n", 1},
        {{"--types", "@D/bad/not-text.types"}, names,
         "ostrel-gen: Error: @D/bad/not-text.types:1:1: element 'config' does not hold text "
         "alone: only a (#PCDATA) element has a text type\n", 1},
        {{"--types", "@D/bad/undeclared.types"}, names,
         "ostrel-gen: Error: @D/bad/undeclared.types:1:1: the DTD declares no attribute "
         "'colour' for element 'class'\n", 1},
        {{"--types", "@D/bad/missing.types"}, names,
         "ostrel-gen: Error: @D/bad/missing.types:1:1: cannot open the types file\n", 1},
        {{"--root", "library"}, names,
         "ostrel-gen: Error: @D/names/names.dtd:1:1: the root element 'library' is not "
         "declared\n", 1},
        {{"--namespace", "a::int"}, names,
         "ostrel-gen: 'a::int' is not a C++ namespace name\n" + std::string(
         "usage: ostrel-gen [--namespace NS] [--name NAME] [--types FILE] [--root ELEMENT]\n"
         "                  [--depfile FILE] -o DIR DTD\n"), 2},
    };
    for (const Case& c : cases) {
        const std::string dir = outputDir("errors");
        std::vector<std::string> args;
        for (std::string arg : c.args) {
            if (arg.rfind("@D", 0) == 0) arg = kData + arg.substr(2);
            args.push_back(arg);
        }
        args.insert(args.end(), {"-o", dir, kData + "/" + c.dtd});
        const ostrel_test::ToolRun run = runProgram(OSTREL_GEN, args);
        std::string expected = c.expected;
        for (std::size_t at; (at = expected.find("@D")) != std::string::npos;)
            expected.replace(at, 2, kData);
        EXPECT_EQ(run.err, expected);
        EXPECT_EQ(run.status, c.status) << c.dtd;
        const std::string stem = dir + "/" + c.dtd.substr(c.dtd.find('/') + 1, c.dtd.rfind('.') - c.dtd.find('/') - 1);
        EXPECT_FALSE(exists(stem + ".h") || exists(stem + ".cpp")) << "output left for " << c.dtd;
    }
    // A DTD that is not well formed: the reader's message, with its position.
    const std::string dir = outputDir("broken");
    const ostrel_test::ToolRun run = runProgram(OSTREL_GEN, {"-o", dir, kData + "/bad/broken.dtd"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.rfind("ostrel-gen: Error: " + kData + "/bad/broken.dtd:1:", 0), 0u) << run.err;
    EXPECT_FALSE(exists(dir + "/broken.h"));
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
    }
    EXPECT_FALSE(first[0].empty());
    EXPECT_EQ(first[0], first[1]);
}
