// The corpus of malformed documents: each is refused with its file, line, column and
// message, leaves no tree behind, and is refused by libxml2 too unless noted.
#include "support/case_file.h"

#include "generic/generic_importer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

const std::string kDir = OSTREL_MALFORMED_DIR;

TEST(MalformedCorpus, EachIsRefusedWithItsLineColumnAndMessageAsLibXml2DoesWhereNoted) {
    // The manifest: file line column "message" libxml2.
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
#ifdef OSTREL_XMLLINT
        const std::string peer = c.fields[4].text;
        const std::string log = OSTREL_MALFORMED_LOG_DIR "/" + c.fields[0].text + ".log";
        const std::string command = OSTREL_XMLLINT " --noout '" + path + "' >/dev/null 2>'" + log + "'";
        const int status = std::system(command.c_str());
        EXPECT_EQ(status == 0, peer == "accepts") << c.where;
        if (peer == "accepts") continue;
        // The first line that names the document (entity errors come with their own first).
        std::ifstream in(log);
        std::string first;
        while (std::getline(in, first) && first.rfind(path, 0) != 0) {
        }
        EXPECT_EQ(first.rfind(path + ":" + c.fields[1].text + ":", 0) == 0, peer == "refuses")
            << c.where << ": " << first;
#endif
    }
}
