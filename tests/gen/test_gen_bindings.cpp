// Generated bindings at work: the library catalogue (every shape of content model, typed
// texts and attributes) and the names binding (the identifier rule, accessors that meet).
// Documents and expected outputs are in tests/data/gen/.
#include "support/edits.h"
#include "support/file_util.h"

#include "library.h"
#include "names.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <typeinfo>

using ostrel_test::emitted;
using ostrel_test::readFile;

namespace {

const std::string kData = GEN_TEST_DATA;

// The tree of data file name, or null with the message in error.
template <class Importer = library::Importer>
std::unique_ptr<Ostrel::XObject> import(const std::string& name, std::string& error) {
    Importer importer;
    try {
        importer.ImportFromFile(kData + "/" + name, true);
        return std::unique_ptr<Ostrel::XObject>(importer.GetXObject());
    } catch (const Ostrel::XException& e) {
        error = e.GetMsg();
        EXPECT_EQ(importer.GetXObject(), nullptr);
        return nullptr;
    }
}

} // namespace

// Every document is written back as expected ("-": not compared) and is valid or not.
TEST(GenRoundTrip, DocumentsAreWrittenBackAsExpected) {
    const char* const cases[][3] = {{"library/shapes.xml", "library/shapes.xml", "valid"},
                                    {"library/defaults.xml", "library/defaults.out.xml", "valid"},
                                    {"library/missing-id.xml", "-", "invalid"},
                                    {"names/names.xml", "names/names.xml", "valid"}};
    for (const auto& c : cases) {
        const std::string input = c[0], binding = input.substr(0, input.find('/'));
        std::string error;
        auto root = binding == "names" ? import<names::Importer>(input, error) : import(input, error);
        ASSERT_NE(root, nullptr) << input << ": " << error;
        EXPECT_EQ(root->IsValid(), std::string(c[2]) == "valid") << input;
        if (c[1][0] == '-') continue;
        ostrel_test::TempFile out("gen_written.xml");
        root->EmitXMLToFile(out.path(), binding + ".dtd");
        EXPECT_EQ(readFile(out.path()), ostrel_test::textOnDisk(readFile(kData + "/" + c[1]))) << input;
    }
}

// Each document of errors.txt is refused with its message, naming line and column.
TEST(GenRoundTrip, ImportErrorsNameTheirPlace) {
    std::ifstream list(kData + "/library/errors.txt");
    int cases = 0;
    for (std::string line; std::getline(list, line); ++cases) {
        if (line.empty() || line[0] == '#') { --cases; continue; }
        const std::string file = "library/" + line.substr(0, line.find(' '));
        std::string error;
        EXPECT_EQ(import(file, error), nullptr) << file;
        EXPECT_EQ(error, "Error: " + kData + "/" + file + ":" + line.substr(line.find(' ') + 1));
    }
    EXPECT_EQ(cases, 14);
}

TEST(GenElements, NewChildrenGoWhereTheModelPutsThem) {
    library::library lib;
    lib.GetShelfs().Add(std::make_unique<library::shelf>());
    lib.GetBooks().Add(std::make_unique<library::book>());
    lib.SetTitle("t");
    lib.GetJournals().Add(std::make_unique<library::journal>());
    lib.GetBooks().Add(std::make_unique<library::book>());
    std::string order;
    for (std::size_t i = 0; i < lib.GetChildCount(); ++i) order += lib.GetChild(i).GetTag() + " ";
    EXPECT_EQ(order, "title book journal book shelf ");
    ASSERT_EQ(lib.GetBooks().size(), 2u);
    EXPECT_EQ(&lib.GetBooks()[1], &lib.GetChild(3));
    lib.SetTitle(std::make_unique<Ostrel::string>("new"));  // replaced in place
    EXPECT_EQ(lib.GetChild(0).GetTag(), "title");
    EXPECT_EQ(*lib.GetTitle(), "new");
    lib.RemoveElement("book");
    EXPECT_TRUE(lib.GetBooks().empty());
}

TEST(GenElements, TreesFollowTheirEdits) {
    library::RegisterCreateFunctions();
    library::Importer importer;
    ostrel_test::runEdits(kData + "/library/edits.txt", kData, importer);
}

TEST(GenElements, MixedContentAndNamesFollowingTheIdentifierRule) {
    library::summary summary;
    summary.AddText("a < b, ");
    summary.GetEms().Add(std::make_unique<Ostrel::string>("so"));
    summary.AddText(" ");
    summary.AddText("there");
    EXPECT_EQ(emitted(summary), "<summary>a &lt; b, <em>so</em> there</summary>\n");
    EXPECT_TRUE(summary.IsValid());
    EXPECT_EQ(summary.GetChildCount(), 3u);

    names::config config;
    config.AddInt(42);
    config.GetRemap_dirs().Add(std::make_unique<names::remap_dir>());
    config.GetRemap_dirs()[0].SetAs_path("/y");
    config.GetClasses().Add(std::make_unique<names::class_>());
    config.GetPrices().Add(std::make_unique<names::price>());
    config.GetPrices()[0].SetValue(2.5);
    config.GetPrices()[0].SetValueAttribute("v");
    config.SetDefault("d");
    config.AddValue("v");
    EXPECT_TRUE(config.IsValid());
    EXPECT_EQ(emitted(config), readFile(kData + "/names/built.xml"));
}
