// Faults of the file system and of the input: each gives its clear error and changes
// nothing else, through the library and through the ostrel tool.
#include "reliability/importing.h"
#include "support/case_file.h"
#include "support/test_element.h"
#include "support/tool_run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ostrel_test;

namespace {

// A scratch directory anyone may write to, removed with what it holds.
struct TempDir {
    char name[32] = "/tmp/ostrel_faults_XXXXXX";
    const std::string path = mkdtemp(name) && chmod(name, 0777) == 0 ? name : "/nonexistent";
    ~TempDir() { std::system(("rm -rf '" + path + "'").c_str()); }
};

// The kind, permissions, size and entries of path, to see that nothing changed it.
std::string snapshot(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return "absent";
    std::string state = std::to_string(st.st_mode) + " " + std::to_string(st.st_size);
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) state += std::string(" ") + entry->d_name;
        closedir(dir);
    }
    return state;
}

// Makes path what kind says and gives the path to use.
std::string make(const std::string& kind, const std::string& path) {
    if (kind == "full")  // a full device of our own where possible, not the system's
        return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0 ? path : "/dev/full";
    if (kind == "directory") mkdir(path.c_str(), 0777);
    if (kind == "missing") return path + "/out.xml";
    if (kind == "readonly" || kind == "unreadable") {
        writeFile(path, "<a/>");
        chmod(path.c_str(), kind == "readonly" ? 0444 : 0);
    }
    return path;
}

ToolRun ostrel(const std::vector<std::string>& args) { return runProgram(OSTREL_TOOL, args); }

// The message of operation op on path: the tool's must be its one line, with status 1
// and nothing on standard output.
std::string message(const std::string& op, const std::string& path, const std::string& in) {
    if (op == "emit") return messageOf([&] { Element("leaf").EmitXMLToFile(path, ""); });
    if (op == "import") {  // both modes alike
        const std::string first = importError<generic::GenericImporter>(path, true);
        return first + (importError<generic::GenericImporter>(path, false) == first ? "" : " | modes differ");
    }
    const auto run = op == "tool" ? ostrel({"roundtrip", in, path}) : ostrel({"stats", path});
    if (run.status != 1 || run.out != "" || run.err.find('\n') != run.err.size() - 1)
        return "status " + std::to_string(run.status) + ": " + run.out + run.err;
    return run.err;
}

constexpr int kSkip = 77;

} // namespace

TEST(Faults, EachGivesItsErrorAndLeavesThePathAsItWas) {
    const std::string in = reliabilityData("generic.xml");
    for (const Case& c : readCases(reliabilityData("io_faults.txt"))) {
        TempDir dir;
        const std::string op = c.fields[0].text, kind = c.fields[1].text;
        const std::string path = make(kind, dir.path + "/target");
        const std::string expected = std::string(c.fields[2].text).replace(c.fields[2].text.find('@'), 1,
                                                                            path);
        const std::string before = snapshot(dir.path) + " | " + snapshot(path);
        // In a child, which as root turns into nobody for the permission cases.
        const pid_t child = fork();
        if (child == 0) {
            if (geteuid() == 0 && (kind == "readonly" || kind == "unreadable") &&
                (setgid(65534) != 0 || setuid(65534) != 0 || ostrel({"--help"}).status != 0))
                _exit(kSkip);
            const std::string got = message(op, path, in);
            if (got.rfind(expected, 0) != 0) std::fprintf(stderr, "%s\n  got: %s\n", c.where.c_str(), got.c_str());
            _exit(got.rfind(expected, 0) == 0 ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) == kSkip) {
            std::printf("skipped, no unprivileged user here: %s\n", c.where.c_str());
            continue;
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.where;
        EXPECT_EQ(snapshot(dir.path) + " | " + snapshot(path), before) << c.where;
    }
}

// Every prefix of a document: one that ends before the root's end tag is refused naming
// the file; a longer one reads as the whole document.
TEST(Faults, ADocumentCutAnywhereIsRefused) {
    xkb::RegisterCreateFunctions();
    const struct {
        const char* file;
        const char* rootEnd;
        std::string (*import)(const std::string&, bool, std::string*);
    } documents[] = {{"xkb.xml", "</xkbConfigRegistry>", importError<xkb::XkbImporter>},
                     {"generic.xml", "</doc>", importError<generic::GenericImporter>}};
    TempFile cut("cut.xml");
    for (const auto& d : documents) {
        const std::string document = readFile(reliabilityData(d.file));
        const std::size_t complete = document.rfind(d.rootEnd) + std::strlen(d.rootEnd);
        for (bool preprocess : {true, false}) {
            std::string whole, tree;
            ASSERT_EQ(d.import(reliabilityData(d.file), preprocess, &whole), "");
            for (std::size_t n = 0; n < document.size(); ++n) {
                writeFile(cut.path(), document.substr(0, n));
                const std::string error = d.import(cut.path(), preprocess, &tree);
                EXPECT_TRUE(n < complete ? error.rfind("Error: " + cut.path() + ":", 0) == 0
                                         : error.empty() && tree == whole) << n << error;
            }
        }
    }
}

TEST(Faults, TheToolFollowsALinkAndWritesAStandardOutputLinkInPlace) {
    TempDir dir;
    const std::string real = dir.path + "/real.xml", link = dir.path + "/link.xml";
    const std::string stdoutLink = dir.path + "/stdout", in = reliabilityData("generic.xml");
    writeFile(real, "old");
    ASSERT_EQ(symlink(real.c_str(), link.c_str()) | symlink("/proc/self/fd/1", stdoutLink.c_str()), 0);
    ASSERT_EQ(ostrel({"roundtrip", in, link}).status, 0);
    EXPECT_EQ(readFile(real).rfind("<?xml version='1.0'?>", 0), 0u);
    const auto run = ostrel({"roundtrip", in, stdoutLink});  // as /dev/stdout is a link
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("written in place"), std::string::npos) << run.out;
    struct stat st {};
    for (const std::string& kept : {link, stdoutLink})
        EXPECT_TRUE(lstat(kept.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) << kept;
}
