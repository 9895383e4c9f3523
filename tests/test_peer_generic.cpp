// Real documents nobody here wrote, read with the generic binding and written back: each
// well-formed one gives the tree libxml2 reads from the original; each one libxml2 refuses
// is refused here too, naming the same line.
#include "generic/generic_importer.h"
#include "support/file_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

int run(const std::string& command) {
    const int status = std::system(command.c_str());
    return status == -1 ? -1 : WEXITSTATUS(status);
}

// The first line xmllint names for file, or 0.
int libxmlErrorLine(const std::string& file, const std::string& log) {
    std::ifstream in(log);
    for (std::string row; std::getline(in, row);)
        if (row.compare(0, file.size() + 1, file + ":") == 0)
            return std::atoi(row.c_str() + file.size() + 1);
    return 0;
}

void checkDirectory(const std::string& dir) {
    if (!fs::is_directory(dir)) GTEST_SKIP() << dir << " is not installed";
    std::set<fs::path> seen;
    int wellFormed = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".xml") continue;
        // Links to documents of the same folder are read once.
        if (!seen.insert(fs::canonical(entry.path())).second) continue;
        const std::string file = entry.path().string();
        SCOPED_TRACE(file);
        ostrel_test::TempFile log("peer.log"), out("peer_out.xml");
        const int lint = run(std::string(OSTREL_XMLLINT) + " --noout '" + file +
                             "' >/dev/null 2>'" + log.path() + "'");
        generic::GenericImporter importer;
        if (lint == 0) {
            ++wellFormed;
            importer.ImportFromFile(file, true);
            Ostrel::XObject* root = importer.GetXObject();
            ASSERT_NE(root, nullptr);
            root->EmitXMLToFile(out.path(), importer.systemId());
            Ostrel::XMLImporterBase::DeleteImportedXObject(root);
            EXPECT_EQ(run(std::string(OSTREL_TREE_EQUAL) + " '" + file + "' '" + out.path() + "'"),
                      0);
        } else {
            try {
                importer.ImportFromFile(file, true);
                ADD_FAILURE() << "read although libxml2 refuses it";
                Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
            } catch (const Ostrel::XException& e) {
                const std::string at =
                    "Error: " + file + ":" + std::to_string(libxmlErrorLine(file, log.path())) + ":";
                EXPECT_EQ(e.GetMsg().compare(0, at.size(), at), 0) << e.GetMsg();
                EXPECT_EQ(importer.GetXObject(), nullptr);
            }
        }
    }
    EXPECT_GT(wellFormed, 0);
}

} // namespace

TEST(PeerGeneric, IsoCodes) { checkDirectory("/usr/share/xml/iso-codes"); }
TEST(PeerGeneric, MimePackages) { checkDirectory("/usr/share/mime/packages"); }
TEST(PeerGeneric, ProjectSamples) { checkDirectory(OSTREL_SAMPLES); }
