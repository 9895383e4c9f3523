// The XKB importer and the factory: replaced create functions, their errors with their
// positions and no partial trees, and progress (documents read, written back and refused
// are steps of tests/data/xkb/edits.txt).
#include "support/file_util.h"
#include "xkb_test.h"

#include <gtest/gtest.h>

#include <new>
#include <vector>

using namespace xkb_test;
using ostrel_test::readFile;

namespace {

struct CountedModel : xkb::model {
    Ostrel::XObject* clone() const override { return new (std::nothrow) CountedModel(*this); }
};
Ostrel::XObject* createCountedModel() { return new (std::nothrow) CountedModel; }
Ostrel::XObject* createVariant() { return new (std::nothrow) xkb::variant; }
Ostrel::XObject* createNothing() { return nullptr; }

// Imports path; the root, or null with the message in error (no tree may be left).
std::unique_ptr<xkb::xkbConfigRegistry> import(xkb::XkbImporter& importer, const std::string& path,
                                               std::string& error) {
    try {
        importer.ImportFromFile(path, true);
        return std::unique_ptr<xkb::xkbConfigRegistry>(importer.GetRegistry());
    } catch (const Ostrel::XException& e) {
        error = e.GetMsg();
        EXPECT_EQ(importer.GetXObject(), nullptr) << "a partial tree reached the caller";
        return nullptr;
    }
}

} // namespace

TEST(XkbImport, WhatTheFactoryCannotGiveIsAnErrorWithItsPlace) {
    ostrel_test::TempFile file("xkb_import.xml");
    const auto cases = ostrel_test::readCases(kData + "/errors.txt");
    EXPECT_EQ(cases.size(), 2u);
    for (const ostrel_test::Case& c : cases) {
        xkb::RegisterCreateFunctions();
        const std::string& factory = c.fields[0].text;
        Ostrel::XObjectFactory::RegisterCreateFunction(factory.substr(0, factory.find('=')),
                                                       factory.find("=null") != std::string::npos ? createNothing : createVariant);
        ostrel_test::writeFile(file.path(), c.fields[1].text);
        xkb::XkbImporter importer;
        std::string error;
        EXPECT_EQ(import(importer, file.path(), error), nullptr) << c.where;
        EXPECT_EQ(error, "Error: " + file.path() + ":" + c.fields[2].text) << c.where;
    }
    xkb::RegisterCreateFunctions();
}

TEST(XkbImport, ElementsComeFromTheFactoryAndProgressIsReportedToTheEnd) {
    xkb::RegisterCreateFunctions();
    Ostrel::XObjectFactory::RegisterCreateFunction("model", createCountedModel);
    xkb::XkbImporter importer;
    std::vector<long long> reports;
    importer.setProgressCallback([&reports](long long bytes) { reports.push_back(bytes); });
    std::string error;
    auto root = import(importer, kData + "/sample.xml", error);
    xkb::RegisterCreateFunctions();
    ASSERT_NE(root, nullptr) << error;
    for (const xkb::model& model : root->GetModelList()->GetModels())
        EXPECT_EQ(typeid(model), typeid(CountedModel));
    ASSERT_FALSE(reports.empty());
    for (std::size_t i = 1; i < reports.size(); ++i) EXPECT_LE(reports[i - 1], reports[i]);
    EXPECT_EQ(reports.back(), static_cast<long long>(readFile(kData + "/sample.xml").size()));
}
