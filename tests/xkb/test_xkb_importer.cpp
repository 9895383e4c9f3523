// The XKB importer: documents into typed trees written back, the document type's errors
// with their positions, no partial trees, progress and the factory.
#include "support/case_file.h"
#include "support/file_util.h"
#include "xkb_test.h"

#include <ostrelbase/xobjfactory.h>

#include <gtest/gtest.h>

#include <new>
#include <typeinfo>
#include <vector>

using namespace xkb_test;
using ostrel_test::readFile;
using ostrel_test::TempFile;

namespace {

class CountedModel : public xkb::model {
public:
    Ostrel::XObject* clone() const override { return new (std::nothrow) CountedModel(*this); }
};
Ostrel::XObject* createCountedModel() { return new (std::nothrow) CountedModel; }
Ostrel::XObject* createVariant() { return new (std::nothrow) xkb::variant; }
Ostrel::XObject* createNothing() { return nullptr; }

struct XkbImport : ::testing::Test {
    void SetUp() override { xkb::RegisterCreateFunctions(); }
    void TearDown() override {
        xkb::RegisterCreateFunctions();  // undo any replacement a test made
        Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
    }
    // Imports path; the root, or null with the message in error (and no tree left).
    xkb::xkbConfigRegistry* import(const std::string& path, bool preprocess = true) {
        Ostrel::XMLImporterBase::DeleteImportedXObject(importer.GetXObject());
        error.clear();
        try {
            importer.ImportFromFile(path, preprocess);
        } catch (const Ostrel::XException& e) {
            error = e.GetMsg();
            EXPECT_EQ(importer.GetXObject(), nullptr) << "a partial tree reached the caller";
            return nullptr;
        }
        return importer.GetRegistry();
    }
    xkb::XkbImporter importer;
    std::string error;
};

} // namespace

TEST_F(XkbImport, DocumentsAreReadAndWrittenBackAsExpected) {
    for (const ostrel_test::Case& c : ostrel_test::readCases(kData + "/written.txt")) {
        const std::string& expected = c.fields[1].is("=") ? c.fields[0].text : c.fields[1].text;
        xkb::xkbConfigRegistry* root = import(kData + "/" + c.fields[0].text, c.fields.size() < 5);
        ASSERT_NE(root, nullptr) << c.where << ": " << error;
        EXPECT_TRUE(root->IsValid()) << c.where;
        EXPECT_EQ(importer.elementCount(), std::stoll(c.fields[2].text)) << c.where;
        EXPECT_EQ(importer.attributeCount(), std::stoll(c.fields[3].text)) << c.where;
        TempFile out("xkb_written.xml");
        root->EmitXMLToFile(out.path(), importer.systemId());
        EXPECT_EQ(readFile(out.path()), ostrel_test::textOnDisk(readFile(kData + "/" + expected)))
            << c.where;
    }
}

TEST_F(XkbImport, ErrorsNameTheirPlaceAndLeaveTheImporterUsable) {
    ASSERT_NE(import(kData + "/written/defaults.xml"), nullptr) << error;
    TempFile file("xkb_import.xml");
    const auto cases = ostrel_test::readCases(kData + "/errors.txt");
    EXPECT_EQ(cases.size(), 21u);
    for (const ostrel_test::Case& c : cases) {
        const std::string& factory = c.fields[0].text;
        if (factory != "-")
            Ostrel::XObjectFactory::RegisterCreateFunction(
                factory.substr(0, factory.find('=')),
                factory.find("=null") != std::string::npos ? createNothing : createVariant);
        ostrel_test::writeFile(file.path(), c.fields[1].text);
        EXPECT_EQ(import(file.path()), nullptr) << c.where;
        EXPECT_EQ(error, "Error: " + file.path() + ":" + c.fields[2].text) << c.where;
        EXPECT_EQ(importer.elementCount(), 7) << "not those of the latest successful import";
        xkb::RegisterCreateFunctions();
    }
    ASSERT_NE(import(kData + "/sample.xml"), nullptr) << error;
    EXPECT_EQ(importer.elementCount(), 57);
}

TEST_F(XkbImport, ElementsComeFromTheFactoryAndProgressIsReportedToTheEnd) {
    Ostrel::XObjectFactory::RegisterCreateFunction("model", createCountedModel);
    std::vector<long long> reports;
    importer.setProgressCallback([&reports](long long bytes) { reports.push_back(bytes); });
    xkb::xkbConfigRegistry* root = import(kData + "/sample.xml");
    ASSERT_NE(root, nullptr) << error;
    for (const xkb::model& model : root->GetModelList()->GetModels())
        EXPECT_EQ(typeid(model), typeid(CountedModel));
    ASSERT_FALSE(reports.empty());
    for (std::size_t i = 1; i < reports.size(); ++i) EXPECT_LE(reports[i - 1], reports[i]);
    EXPECT_EQ(reports.back(), static_cast<long long>(readFile(kData + "/sample.xml").size()));
}
