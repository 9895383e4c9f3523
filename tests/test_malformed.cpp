// The corpus of malformed documents: each is refused with its file, line, column and
// message, leaves no tree behind, and is refused by libxml2 too unless noted.
#include "generic/generic_importer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Case {
    std::string file;
    int line = 0;
    int column = 0;
    std::string message;
    std::string peer;
};

std::vector<Case> readManifest() {
    std::vector<Case> cases;
    std::ifstream in(std::string(OSTREL_MALFORMED_DIR) + "/manifest.txt");
    std::string row;
    while (std::getline(in, row)) {
        if (row.empty() || row[0] == '#') continue;
        std::vector<std::string> fields;
        std::stringstream split(row);
        for (std::string field; std::getline(split, field, '|');) fields.push_back(field);
        if (fields.size() != 5) {
            ADD_FAILURE() << "bad manifest row: " << row;
            continue;
        }
        cases.push_back({fields[0], std::stoi(fields[1]), std::stoi(fields[2]), fields[3],
                         fields[4]});
    }
    return cases;
}

std::string path(const Case& c) { return std::string(OSTREL_MALFORMED_DIR) + "/" + c.file; }

} // namespace

TEST(MalformedCorpus, HasAtLeastThirtyDocuments) { EXPECT_GE(readManifest().size(), 30u); }

TEST(MalformedCorpus, EachIsRefusedWithItsLineColumnAndMessage) {
    for (const Case& c : readManifest()) {
        for (bool preprocess : {true, false}) {
            generic::GenericImporter importer;
            try {
                importer.ImportFromFile(path(c), preprocess);
                // Entity errors need preprocessing; without it references stay as written.
                if (preprocess || c.message.find("entit") == std::string::npos)
                    ADD_FAILURE() << c.file << " was read (preprocess " << preprocess << ")";
                Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
                continue;
            } catch (const Ostrel::XException& e) {
                if (preprocess)
                    EXPECT_EQ(e.GetMsg(), "Error: " + path(c) + ":" + std::to_string(c.line) + ":" +
                                              std::to_string(c.column) + ": " + c.message);
                else
                    EXPECT_EQ(e.GetMsg().compare(0, 7, "Error: "), 0) << e.GetMsg();
            }
            EXPECT_EQ(importer.GetXObject(), nullptr) << c.file;
        }
    }
}

#ifdef OSTREL_XMLLINT
TEST(MalformedCorpus, LibXml2AgreesWhereTheManifestSaysSo) {
    for (const Case& c : readManifest()) {
        const std::string log = std::string(OSTREL_MALFORMED_LOG_DIR) + "/" + c.file + ".log";
        const std::string command = std::string(OSTREL_XMLLINT) + " --noout '" + path(c) +
                                    "' >/dev/null 2>'" + log + "'";
        const int status = std::system(command.c_str());
        if (c.peer == "accepts") {
            EXPECT_EQ(status, 0) << c.file << " is no longer read by libxml2";
            continue;
        }
        EXPECT_NE(status, 0) << c.file << " is read by libxml2";
        // The first line that names the document (entity errors come with their own first).
        std::ifstream in(log);
        std::string first;
        while (std::getline(in, first) && first.compare(0, path(c).size(), path(c)) != 0) {
        }
        const std::string prefix = path(c) + ":" + std::to_string(c.line) + ":";
        if (c.peer == "refuses")
            EXPECT_EQ(first.compare(0, prefix.size(), prefix), 0) << c.file << ": " << first;
        else
            EXPECT_NE(first.compare(0, prefix.size(), prefix), 0) << c.file << ": " << first;
    }
}
#endif
