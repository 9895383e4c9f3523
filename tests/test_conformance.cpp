// The XML 1.0 conformance cases under conformance/: every document of not-wf/ is refused
// with its file, line and column, every one of valid/ (well-formed, standalone, valid or
// not) is read, written and read back to the same tree, and, where libxml2 is at hand, that
// tree is the one libxml2 reads, except where libxml2 departs from XML 1.0 (libxml2.txt).
#include "generic/generic_importer.h"
#include "support/case_file.h"
#include "support/file_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> cases(const std::string& kind, size_t least) {
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(OSTREL_CONFORMANCE_DIR "/" + kind))
        if (entry.path().extension() == ".xml") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    EXPECT_GE(files.size(), least) << kind;
    return files;
}

using Root = std::unique_ptr<Ostrel::XObject>;

// Reads file as `ostrel roundtrip` does: the generic binding, references replaced.
Root import(const std::string& file, std::string* systemId = nullptr) {
    generic::GenericImporter importer;
    importer.ImportFromFile(file, true);
    if (systemId) *systemId = importer.systemId();
    return Root(importer.GetXObject());
}

#ifdef OSTREL_XMLLINT
bool succeeds(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Whether libxml2 departs from XML 1.0 on file (libxml2.txt): fields after the name are notes.
bool departs(const std::string& file) {
    const std::string kind = fs::path(file).parent_path().filename().string();
    const std::string name = fs::path(file).stem().string();
    for (const auto& c : ostrel_test::readCases(OSTREL_CONFORMANCE_DIR "/libxml2.txt"))
        if (c.fields[0].text == kind && c.fields[1].text == name) return true;
    return false;
}
#endif

} // namespace

TEST(Conformance, NotWellFormedDocumentsAreRefusedWithTheirPosition) {
    const std::regex positionAndWhat("[1-9][0-9]*:[1-9][0-9]*: [^\n]+");
    for (const std::string& file : cases("not-wf", 300)) {
        try {
            const Root root = import(file);
            ADD_FAILURE() << file << " was read";
        } catch (const Ostrel::XException& e) {
            const std::string prefix = "Error: " + file + ":";
            EXPECT_TRUE(e.GetMsg().rfind(prefix, 0) == 0 &&
                        std::regex_match(e.GetMsg().substr(prefix.size()), positionAndWhat))
                << e.GetMsg();
        }
    }
}

TEST(Conformance, WellFormedDocumentsAreReadWrittenAndReadBackTheSame) {
    for (const std::string& file : cases("valid", 150)) {
        SCOPED_TRACE(file);
        std::string systemId;
        Root root;
        try {
            root = import(file, &systemId);
        } catch (const Ostrel::XException& e) {
            ADD_FAILURE() << e.GetMsg();
            continue;
        }
        ostrel_test::TempFile out("conformance_out.xml");
        root->EmitXMLToFile(out.path(), systemId);
        const Root again = import(out.path());
        auto* first = dynamic_cast<generic::GenericElement*>(root.get());
        auto* second = dynamic_cast<generic::GenericElement*>(again.get());
        ASSERT_TRUE(first && second);
        EXPECT_TRUE(second->sameTree(*first)) << ostrel_test::readFile(out.path());
#ifdef OSTREL_XMLLINT
        EXPECT_EQ(succeeds(std::string(OSTREL_TREE_EQUAL) + " '" + file + "' '" + out.path() + "'"),
                  !departs(file))
            << "libxml2 reads another tree, or now the same; ours:\n"
            << ostrel_test::readFile(out.path());
#endif
    }
}
