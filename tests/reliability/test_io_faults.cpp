// Faults of the file system and of the input: each gives its clear error and changes
// nothing else. Through the library (EmitXMLToFile, the importers) and through the ostrel
// tool, whose OUT must stay as it was.
#include "reliability/small_documents.h"
#include "support/file_util.h"
#include "support/tool_run.h"

#include "generic/generic_importer.h"
#include "xkb/xkb_importer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

using ostrel_test::readFile;
using ostrel_test::writeFile;

namespace {

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// A scratch directory of this test, removed with what it holds.
class TempDir {
public:
    TempDir() {
        char name[] = "/tmp/ostrel_faults_XXXXXX";
        if (mkdtemp(name)) m_path = name;
        chmod(m_path.c_str(), 0755);  // open to the unprivileged user of the tests below
    }
    ~TempDir() {
        if (!m_path.empty()) std::system(("rm -rf '" + m_path + "'").c_str());
    }
    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

constexpr int kCannotDropPrivileges = 77;
constexpr int kToolOutOfReach = 78;

// Runs what in a child process without root's privileges (as nobody when this runs as
// root, since permissions do not stop root) and gives its exit status;
// kCannotDropPrivileges when that is impossible here.
int runUnprivileged(const std::function<int()>& what) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(kCannotDropPrivileges);
        _exit(what());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 255;
}

// Skips the test when runUnprivileged could not give its answer.
#define SKIP_WITHOUT_UNPRIVILEGED(status)                                                   \
    do {                                                                                    \
        if ((status) == kCannotDropPrivileges)                                              \
            GTEST_SKIP() << "running as root and unable to switch to an unprivileged user, " \
                            "so a permission cannot be denied here";                        \
        if ((status) == kToolOutOfReach)                                                    \
            GTEST_SKIP() << "the unprivileged user cannot run the tool where it was built"; \
    } while (false)

// An element that writes a fixed small document.
class Leaf : public Ostrel::XObject {
public:
    Leaf() { SetTag("leaf"); }
    bool EmitXML(std::ostream& os, int indent) override {
        os << doIndent(indent) << "<leaf/>\n";
        return true;
    }
    Ostrel::XObject* clone() const override { return new (std::nothrow) Leaf(*this); }
};

std::string emitError(const std::string& file) {
    Leaf leaf;
    try {
        leaf.EmitXMLToFile(file, "");
    } catch (const Ostrel::XException& e) {
        return e.GetMsg();
    }
    return "";
}

std::string outputError(const std::string& kind, const std::string& file) {
    return "Error: Unable to " + kind + " file '" + file + "' for XML output.";
}

} // namespace

TEST(OutputFaults, AFullDeviceIsAnErrorNotASuccess) {
    EXPECT_EQ(emitError("/dev/full"), outputError("write", "/dev/full"));
}

TEST(OutputFaults, ADirectoryCannotBeWrittenAndStaysEmpty) {
    TempDir dir;
    EXPECT_EQ(emitError(dir.path()), outputError("open", dir.path()));
    EXPECT_EQ(std::system(("rmdir '" + dir.path() + "'").c_str()), 0) << "no longer empty";
}

TEST(OutputFaults, AMissingDirectoryIsNotCreated) {
    TempDir dir;
    const std::string file = dir / "missing/out.xml";
    EXPECT_EQ(emitError(file), outputError("open", file));
    struct stat st {};
    EXPECT_NE(stat((dir / "missing").c_str(), &st), 0);
}

TEST(OutputFaults, AReadOnlyFileKeepsItsContent) {
    TempDir dir;
    const std::string file = dir / "readonly.xml";
    writeFile(file, "precious");
    chmod(file.c_str(), 0444);
    const int status = runUnprivileged([&] {
        // Readable, so only the write permission is missing.
        std::FILE* readable = std::fopen(file.c_str(), "r");
        if (readable) std::fclose(readable);
        return readable && emitError(file) == outputError("open", file) ? 0 : 1;
    });
    SKIP_WITHOUT_UNPRIVILEGED(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(file), "precious");
}

namespace {

// The message of importing file with Importer, or "" when it was read; a refusal must
// leave no tree behind.
template <class Importer>
std::string importError(const std::string& file, bool preprocess,
                        std::string* tree = nullptr) {
    Importer importer;
    try {
        importer.ImportFromFile(file, preprocess);
    } catch (const Ostrel::XException& e) {
        EXPECT_EQ(importer.GetXObject(), nullptr) << "a partial tree: " << e.GetMsg();
        return e.GetMsg();
    }
    std::unique_ptr<Ostrel::XObject> root(importer.GetXObject());
    EXPECT_NE(root, nullptr);
    if (root && tree) {
        std::ostringstream out;
        root->EmitXML(out, 0);
        *tree = out.str();
    }
    return "";
}

} // namespace

TEST(InputFaults, ADirectoryIsRefusedByName) {
    TempDir dir;
    for (bool preprocess : {true, false}) {
        const std::string message = importError<generic::GenericImporter>(dir.path(), preprocess);
        EXPECT_TRUE(startsWith(message, "Error: ")) << message;
        EXPECT_NE(message.find(dir.path()), std::string::npos) << message;
    }
}

TEST(InputFaults, AnUnreadableFileIsRefusedWithTheSystemsReason) {
    TempDir dir;
    const std::string file = dir / "secret.xml";
    writeFile(file, "<a/>");
    chmod(file.c_str(), 0);
    const std::string readable = dir / "readable.xml";
    writeFile(readable, "<a/>");
    const int status = runUnprivileged([&] {
        return importError<generic::GenericImporter>(readable, true).empty() &&
                       importError<generic::GenericImporter>(file, true) ==
                           "Error: ImportFromFile() could not open file '" + file +
                               "', Msg: 'Permission denied'"
                   ? 0
                   : 1;
    });
    SKIP_WITHOUT_UNPRIVILEGED(status);
    EXPECT_EQ(status, 0);
}

namespace {

// Every prefix of document as a file: a prefix that ends before the root's end tag is
// refused with a message naming the file; a longer one reads as the whole document.
template <class Importer>
void everyCutIsRefused(const std::string& document, const std::string& rootEnd) {
    const std::size_t complete = document.rfind(rootEnd) + rootEnd.size();
    ostrel_test::TempFile whole("whole.xml"), cut("cut.xml");
    writeFile(whole.path(), document);
    for (bool preprocess : {true, false}) {
        std::string expected;
        ASSERT_EQ(importError<Importer>(whole.path(), preprocess, &expected), "");
        for (std::size_t n = 0; n < document.size(); ++n) {
            writeFile(cut.path(), document.substr(0, n));
            std::string tree;
            const std::string message = importError<Importer>(cut.path(), preprocess, &tree);
            if (n < complete) {
                EXPECT_TRUE(startsWith(message, "Error: " + cut.path() + ":"))
                    << "cut at " << n << " (preprocess " << preprocess << "): " << message;
            } else {
                EXPECT_EQ(message, "") << "cut at " << n;
                EXPECT_EQ(tree, expected) << "cut at " << n;
            }
        }
    }
}

} // namespace

TEST(InputFaults, AnXkbDocumentCutAnywhereIsRefused) {
    xkb::RegisterCreateFunctions();
    everyCutIsRefused<xkb::XkbImporter>(ostrel_test::kXkbDocument, "</xkbConfigRegistry>");
}

TEST(InputFaults, AGenericDocumentCutAnywhereIsRefused) {
    everyCutIsRefused<generic::GenericImporter>(ostrel_test::kGenericDocument, "</doc>");
}

// --- the same through the tool -------------------------------------------------------

namespace {

ostrel_test::ToolRun ostrel(const std::vector<std::string>& args) {
    return ostrel_test::runProgram(OSTREL_TOOL, args);
}

// The tool run by the unprivileged user of runUnprivileged; check says whether the run
// went as it should (0) or not (1). kToolOutOfReach when that user cannot run it at all.
int unprivilegedTool(const std::vector<std::string>& args,
                     const std::function<bool(const ostrel_test::ToolRun&)>& check) {
    return runUnprivileged([&] {
        if (ostrel({"--help"}).status != 0) return kToolOutOfReach;
        return check(ostrel(args)) ? 0 : 1;
    });
}

// A failed run: status 1, one line on standard error that begins as given, nothing on
// standard output.
void expectFailure(const ostrel_test::ToolRun& run, const std::string& begins) {
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(startsWith(run.err, begins)) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
    EXPECT_EQ(run.out, "");
}

struct ToolFaults : ::testing::Test {
    TempDir dir;
    std::string in = dir / "in.xml";
    void SetUp() override { writeFile(in, ostrel_test::kGenericDocument); }
};

} // namespace

TEST_F(ToolFaults, AFullDeviceIsReportedAndStaysADevice) {
    // A node of the full device of our own where that can be made: should the tool ever
    // rename a file onto its output again, the system's /dev/full is not the one it hits.
    std::string full = dir / "full";
    if (mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) full = "/dev/full";
    expectFailure(ostrel({"roundtrip", in, full}), "ostrel: " + outputError("write", full));
    struct stat st {};
    ASSERT_EQ(stat(full.c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
}

TEST_F(ToolFaults, ADirectoryOrAMissingDirectoryIsNoOutput) {
    expectFailure(ostrel({"roundtrip", in, dir.path()}),
                  "ostrel: Error: output '" + dir.path() + "' is a directory");
    const std::string missing = dir / "missing/out.xml";
    expectFailure(ostrel({"roundtrip", in, missing}),
                  "ostrel: Error: cannot create a file beside '" + missing +
                      "': No such file or directory");
    struct stat st {};
    EXPECT_NE(stat((dir / "missing").c_str(), &st), 0);
}

TEST_F(ToolFaults, AReadOnlyOutputIsNeitherWrittenNorReplaced) {
    const std::string out = dir / "readonly.xml";
    writeFile(out, "precious");
    chmod(out.c_str(), 0444);
    chmod(dir.path().c_str(), 0777);  // the directory itself would take a new file
    const int status = unprivilegedTool({"roundtrip", in, out}, [&](const auto& run) {
        return run.status == 1 && startsWith(run.err, "ostrel: Error: output '" + out +
                                                          "' cannot be written: Permission denied");
    });
    SKIP_WITHOUT_UNPRIVILEGED(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(out), "precious");
    struct stat st {};
    ASSERT_EQ(stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0444u);
}

TEST_F(ToolFaults, UnreadableInputsAreRefusedAndOutStaysAsItWas) {
    const std::string out = dir / "out.xml";
    writeFile(out, "precious");
    expectFailure(ostrel({"roundtrip", dir.path(), out}), "ostrel: Error: " + dir.path());
    const std::string secret = dir / "secret.xml";
    writeFile(secret, "<a/>");
    chmod(secret.c_str(), 0);
    chmod(dir.path().c_str(), 0777);
    const int status = unprivilegedTool({"stats", secret}, [&](const auto& run) {
        return run.status == 1 && startsWith(run.err, "ostrel: Error: ImportFromFile() could "
                                                      "not open file '" + secret + "'");
    });
    SKIP_WITHOUT_UNPRIVILEGED(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(readFile(out), "precious");
}

TEST_F(ToolFaults, EveryCutOfTheInputLeavesOutAsItWas) {
    const std::string document = ostrel_test::kGenericDocument;
    const std::size_t complete = document.rfind("</doc>") + 6;
    const std::string cut = dir / "cut.xml", out = dir / "out.xml";
    writeFile(out, "precious");
    for (std::size_t n = 0; n < complete; ++n) {
        writeFile(cut, document.substr(0, n));
        const auto run = ostrel({"roundtrip", cut, out});
        EXPECT_EQ(run.status, 1) << "cut at " << n;
        EXPECT_TRUE(startsWith(run.err, "ostrel: Error: " + cut + ":")) << run.err;
        ASSERT_EQ(readFile(out), "precious") << "cut at " << n;
    }
    EXPECT_EQ(ostrel({"roundtrip", cut, out}).status, 1);
    writeFile(cut, document);
    EXPECT_EQ(ostrel({"roundtrip", cut, out}).status, 0);
}

TEST_F(ToolFaults, ALinkIsFollowedNotReplaced) {
    const std::string real = dir / "real.xml", link = dir / "link.xml";
    writeFile(real, "old");
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    ASSERT_EQ(ostrel({"roundtrip", in, link}).status, 0);
    struct stat st {};
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_TRUE(startsWith(readFile(real), "<?xml version='1.0'?>"));

    // A link to this process's standard output (as /dev/stdout is) is written in place.
    const std::string stdoutLink = dir / "stdout";
    ASSERT_EQ(symlink("/proc/self/fd/1", stdoutLink.c_str()), 0);
    const auto run = ostrel({"roundtrip", in, stdoutLink});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("written in place"), std::string::npos) << run.out;
    ASSERT_EQ(lstat(stdoutLink.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
}
