// The XKB importer and the factory: replaced create functions, their errors with their
// positions and no partial trees, and progress (documents read, written back and refused
// are steps of tests/data/xkb/edits.txt).
#include "support/file_util.h"
#include "xkb_test.h"

#include <gtest/gtest.h>

#include <new>
#include <vector>

using namespace xkb_test;

namespace {
struct CountedModel : xkb::model {
    Ostrel::XObject* clone() const override { return new (std::nothrow) CountedModel(*this); }
};
Ostrel::XObject* createCountedModel() { return new (std::nothrow) CountedModel; }
Ostrel::XObject* createVariant() { return new (std::nothrow) xkb::variant; }
Ostrel::XObject* createNothing() { return nullptr; }
} // namespace

TEST(XkbImport, WhatTheFactoryCannotGiveIsAnErrorWithItsPlace) {
    const auto cases = ostrel_test::readCases(kData + "/errors.txt");
    EXPECT_EQ(cases.size(), 2u);
    for (const ostrel_test::Case& c : cases) {
        xkb::RegisterCreateFunctions();
        const std::string& factory = c.fields[0].text;
        const bool nothing = factory.find("=null") != std::string::npos;
        Ostrel::XObjectFactory::RegisterCreateFunction(factory.substr(0, factory.find('=')),
                                                       nothing ? createNothing : createVariant);
        const ostrel_test::TempFile file("xkb_import.xml", c.fields[1].text);
        xkb::XkbImporter importer;
        EXPECT_EQ(ostrel_test::messageOf([&] { importer.ImportFromFile(file.path(), true); }),
                  "Error: " + file.path() + ":" + c.fields[2].text) << c.where;
        EXPECT_EQ(importer.GetXObject(), nullptr) << c.where << ": a partial tree";
    }
    xkb::RegisterCreateFunctions();
}

TEST(XkbImport, ElementsComeFromTheFactoryAndProgressIsReportedToTheEnd) {
    // The sample with its first model repeated past 3 MiB: progress comes about once a MiB.
    std::string text = ostrel_test::readFile(kData + "/sample.xml");
    const size_t first = text.find("    <model>"), end = text.find("</model>\n", first) + 9;
    const std::string model = text.substr(first, end - first);
    while (text.size() < (std::size_t(3) << 20)) text.insert(first, model);
    const ostrel_test::TempFile file("progress.xml", text);
    xkb::RegisterCreateFunctions();
    Ostrel::XObjectFactory::RegisterCreateFunction("model", createCountedModel);
    xkb::XkbImporter importer;
    std::vector<long long> reports;
    importer.setProgressCallback([&reports](long long bytes) { reports.push_back(bytes); });
    importer.ImportFromFile(file.path(), true);
    std::unique_ptr<xkb::xkbConfigRegistry> root(importer.GetRegistry());
    xkb::RegisterCreateFunctions();
    for (const xkb::model& model : root->GetModelList()->GetModels())
        EXPECT_EQ(typeid(model), typeid(CountedModel));
    ASSERT_GE(reports.size(), 3u);
    for (std::size_t i = 1; i < reports.size(); ++i) EXPECT_LE(reports[i - 1], reports[i]);
    EXPECT_EQ(reports.back(), static_cast<long long>(text.size()));
}
