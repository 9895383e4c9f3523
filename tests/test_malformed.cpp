// The corpus of malformed documents: each is refused with its file, line, column and
// message and leaves no tree behind (the manifest notes what libxml2 does with each).
#include "support/case_file.h"

#include "generic/generic_importer.h"

#include <gtest/gtest.h>

#include <string>

const std::string kDir = OSTREL_MALFORMED_DIR;

TEST(MalformedCorpus, EachIsRefusedWithItsLineColumnAndMessage) {
    // The manifest: file line column "message" and a note on libxml2.
    const auto cases = ostrel_test::readCases(kDir + "/manifest.txt");
    EXPECT_GE(cases.size(), 30u);
    for (const auto& c : cases) {
        const std::string path = kDir + "/" + c.fields[0].text;
        const std::string& message = c.fields[3].text;
        for (bool preprocess : {true, false}) {
            generic::GenericImporter importer;
            try {
                importer.ImportFromFile(path, preprocess);
                // Entity errors need preprocessing; without it references stay as written.
                if (preprocess || message.find("entit") == std::string::npos)
                    ADD_FAILURE() << c.where << ": read (preprocess " << preprocess << ")";
                Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
                continue;
            } catch (const Ostrel::XException& e) {
                const std::string expected = "Error: " + path + ":" + c.fields[1].text + ":" +
                                             c.fields[2].text + ": " + message;
                EXPECT_EQ(e.GetMsg().substr(0, preprocess ? std::string::npos : 7),
                          preprocess ? expected : "Error: ");
            }
            EXPECT_EQ(importer.GetXObject(), nullptr) << c.where;
        }
    }
}
