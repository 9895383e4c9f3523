// The XKB importer: a real sample into typed objects, defaults, the errors of the document
// type with their positions, no partial trees, the factory, and the written result.
#include "support/file_util.h"
#include "xkb/xkb_importer.h"

#include <ostrelbase/xobjfactory.h>

#include <gtest/gtest.h>

#include <memory>
#include <new>
#include <string>
#include <typeinfo>
#include <vector>

using ostrel_test::readFile;
using ostrel_test::TempFile;
using ostrel_test::textOnDisk;
using ostrel_test::writeFile;

namespace {

const std::string kSample = std::string(XKB_TEST_DATA) + "/sample.xml";

// Three empty lists: the smallest valid registry, around the given model list.
std::string registry(const std::string& models) {
    return "<xkbConfigRegistry>\n" + models + "\n<layoutList/><optionList/></xkbConfigRegistry>\n";
}

class XkbImport : public ::testing::Test {
protected:
    void SetUp() override { xkb::RegisterCreateFunctions(); }
    void TearDown() override {
        xkb::RegisterCreateFunctions();  // undo any replacement a test made
        Ostrel::XMLImporterBase::DeleteImportedXObject(m_importer.GetXObject());
    }

    // Imports text from a file; the root, or null with the message in m_error.
    xkb::xkbConfigRegistry* import(const std::string& text, bool preprocess = true) {
        writeFile(m_file.path(), text);
        return importFile(m_file.path(), preprocess);
    }

    xkb::xkbConfigRegistry* importFile(const std::string& path, bool preprocess = true) {
        Ostrel::XMLImporterBase::DeleteImportedXObject(m_importer.GetXObject());
        m_error.clear();
        try {
            m_importer.ImportFromFile(path, preprocess);
        } catch (const Ostrel::XException& e) {
            m_error = e.GetMsg();
            EXPECT_EQ(m_importer.GetXObject(), nullptr) << "a partial tree reached the caller";
            return nullptr;
        }
        EXPECT_NE(m_importer.GetRegistry(), nullptr);
        return m_importer.GetRegistry();
    }

    // The message expected for an error at line:column of the scratch file.
    std::string at(int line, int column, const std::string& what) const {
        return "Error: " + m_file.path() + ":" + std::to_string(line) + ":" +
               std::to_string(column) + ": " + what;
    }

    TempFile m_file{"xkb_import.xml"};
    xkb::XkbImporter m_importer;
    std::string m_error;
};

const Ostrel::string& text(const Ostrel::string* leaf) {
    static const Ostrel::string absent("<absent>");
    return leaf ? *leaf : absent;
}

} // namespace

// --- a real document -----------------------------------------------------------------

TEST_F(XkbImport, ReadsTheSampleIntoTypedObjects) {
    xkb::xkbConfigRegistry* root = importFile(kSample);
    ASSERT_NE(root, nullptr) << m_error;
    EXPECT_TRUE(root->IsValid());
    EXPECT_EQ(root->GetVersion(), "1.1");

    const auto& models = root->GetModelList()->GetModels();
    ASSERT_EQ(models.size(), 2u);
    const xkb::configItem& kk104 = *models[0].GetConfigItem();
    EXPECT_EQ(text(kk104.GetName()), "kk104");
    EXPECT_EQ(text(kk104.GetDescription()),
              "Keyboards & Keys Ltd. 104-key, euro sign marked \"\xE2\x82\xAC\" on the key");
    EXPECT_EQ(text(kk104.GetVendor()), "Keyboards & Keys Ltd.");
    EXPECT_EQ(kk104.GetPopularity(), "standard");
    const xkb::configItem& travel = *models[1].GetConfigItem();
    EXPECT_EQ(travel.GetPopularity(), "exotic");
    EXPECT_EQ(text(travel.GetShortDescription()), "travel");
    EXPECT_EQ(text(travel.GetDescription()), "Travel board <fold & carry>");
    EXPECT_EQ(text(travel.GetVendor()), "Keyboards & Keys Ltd.");
    ASSERT_NE(travel.GetHwList(), nullptr);
    ASSERT_EQ(travel.GetHwList()->GetHwIds().size(), 2u);
    EXPECT_EQ(travel.GetHwList()->GetHwIds()[1], "045e:00dc");

    const auto& layouts = root->GetLayoutList()->GetLayouts();
    ASSERT_EQ(layouts.size(), 2u);
    const xkb::configItem& fo = *layouts[0].GetConfigItem();
    EXPECT_EQ(text(fo.GetDescription()),
              "F\xC3\xB8royskt (Faroese) \xE2\x80\x94 with \xE2\x80\x9Cquotes\xE2\x80\x9D and "
              "'apostrophes'");
    EXPECT_EQ(fo.GetCountryList()->GetIso3166Ids()[0], "FO");
    ASSERT_EQ(fo.GetLanguageList()->GetIso639Ids().size(), 2u);
    EXPECT_EQ(fo.GetLanguageList()->GetIso639Ids()[1], "dan");
    const auto& variants = layouts[0].GetVariantList()->GetVariants();
    ASSERT_EQ(variants.size(), 2u);
    EXPECT_EQ(text(variants[0].GetConfigItem()->GetDescription()), "Faroese (no dead keys)");
    EXPECT_EQ(text(variants[1].GetConfigItem()->GetName()), "tab\tsep");
    EXPECT_EQ(text(variants[1].GetConfigItem()->GetDescription()),
              "  leading and trailing blanks stay  ");
    EXPECT_EQ(text(layouts[1].GetConfigItem()->GetDescription()),
              "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E (\xE6\x97\xA5\xE6\x9C\xAC)");
    ASSERT_NE(layouts[1].GetVariantList(), nullptr);
    EXPECT_TRUE(layouts[1].GetVariantList()->GetVariants().empty());

    auto& groups = root->GetOptionList()->GetGroups();
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_TRUE(groups[0].GetAllowMultipleSelection());
    EXPECT_EQ(groups[0].GetOptions().size(), 2u);
    EXPECT_EQ(text(groups[0].GetOptions()[0].GetConfigItem()->GetDescription()),
              "Alt+Shift <toggle>");
    EXPECT_FALSE(groups[1].GetAllowMultipleSelection());
    EXPECT_TRUE(groups[1].HasAttribute("allowMultipleSelection"));

    EXPECT_EQ(m_importer.elementCount(), 57);
    EXPECT_EQ(m_importer.attributeCount(), 6);
    EXPECT_EQ(m_importer.systemId(), "xkb.dtd");
}

TEST_F(XkbImport, OmittedAttributesGetTheirDefaults) {
    xkb::xkbConfigRegistry* root =
        import("<xkbConfigRegistry><modelList/><layoutList/><optionList>"
               "<group><configItem><name>g</name></configItem></group>"
               "</optionList></xkbConfigRegistry>");
    ASSERT_NE(root, nullptr) << m_error;
    EXPECT_TRUE(root->HasAttribute("version"));
    EXPECT_EQ(root->GetVersion(), "1.1");
    xkb::group& group = root->GetOptionList()->GetGroups()[0];
    EXPECT_TRUE(group.HasAttribute("allowMultipleSelection"));
    EXPECT_FALSE(group.GetAllowMultipleSelection());
    EXPECT_TRUE(group.GetConfigItem()->HasAttribute("popularity"));
    EXPECT_EQ(group.GetConfigItem()->GetPopularity(), "standard");
    EXPECT_EQ(m_importer.attributeCount(), 0);
    EXPECT_EQ(m_importer.systemId(), "");
}

TEST_F(XkbImport, WritesTheImportedTreeInTheLibrarysForm) {
    xkb::xkbConfigRegistry* root = import(
        "<?xml version='1.0'?>\n<!DOCTYPE xkbConfigRegistry SYSTEM 'xkb.dtd'>\n"
        "<xkbConfigRegistry version='2.0'>\n  <modelList>\n"
        "    <model><configItem popularity='exotic'><name>a&amp;b</name>"
        "<description> x </description></configItem></model>\n"
        "  </modelList>\n  <layoutList></layoutList>\n  <optionList/>\n</xkbConfigRegistry>\n");
    ASSERT_NE(root, nullptr) << m_error;
    TempFile out("xkb_written.xml");
    root->EmitXMLToFile(out.path(), m_importer.systemId());
    EXPECT_EQ(readFile(out.path()),
              textOnDisk("<?xml version='1.0'?>\n"
                         "<!DOCTYPE xkbConfigRegistry SYSTEM \"xkb.dtd\">\n"
                         "<!-- created with Ostrel version 1.2 -->\n"
                         "<xkbConfigRegistry version='2.0'>\n"
                         "\t<modelList>\n"
                         "\t\t<model>\n"
                         "\t\t\t<configItem popularity='exotic'>\n"
                         "\t\t\t\t<name>a&amp;b</name>\n"
                         "\t\t\t\t<description> x </description>\n"
                         "\t\t\t</configItem>\n"
                         "\t\t</model>\n"
                         "\t</modelList>\n"
                         "\t<layoutList></layoutList>\n"
                         "\t<optionList></optionList>\n"
                         "</xkbConfigRegistry>\n"));
}

TEST_F(XkbImport, WithoutPreprocessingReferencesStayAsWritten) {
    xkb::xkbConfigRegistry* root = import(
        registry("<modelList><model><configItem><name>a &amp; b&#33;</name></configItem>"
                 "</model></modelList>"),
        false);
    ASSERT_NE(root, nullptr) << m_error;
    EXPECT_EQ(text(root->GetModelList()->GetModels()[0].GetConfigItem()->GetName()),
              "a &amp; b&#33;");
}

TEST_F(XkbImport, TextOfALeafIsKeptExactly) {
    xkb::xkbConfigRegistry* root = import(registry(
        "<modelList><model><configItem><name>   </name><description>\n two\n lines \n"
        "</description><vendor></vendor></configItem></model></modelList>"));
    ASSERT_NE(root, nullptr) << m_error;
    const xkb::configItem& item = *root->GetModelList()->GetModels()[0].GetConfigItem();
    EXPECT_EQ(text(item.GetName()), "   ");
    EXPECT_EQ(text(item.GetDescription()), "\n two\n lines \n");
    EXPECT_EQ(text(item.GetVendor()), "");
}

TEST_F(XkbImport, ReportsProgressUpToTheEnd) {
    std::vector<long long> reports;
    m_importer.setProgressCallback([&reports](long long bytes) { reports.push_back(bytes); });
    ASSERT_NE(importFile(kSample), nullptr) << m_error;
    ASSERT_FALSE(reports.empty());
    for (std::size_t i = 1; i < reports.size(); ++i) EXPECT_LE(reports[i - 1], reports[i]);
    EXPECT_EQ(reports.back(), static_cast<long long>(readFile(kSample).size()));
}

// --- errors of the document type -------------------------------------------------------

TEST_F(XkbImport, AnUnknownElementIsNamedWithItsPosition) {
    EXPECT_EQ(import("<xkbConfigRegistry>\n  <modelList>\n    <keyboard/>"), nullptr);
    EXPECT_EQ(m_error, at(3, 5, "unknown element 'keyboard': the XKB registry has no element "
                                "of that name"));
    EXPECT_EQ(import("<keyboards/>"), nullptr);
    EXPECT_EQ(m_error, at(1, 1, "unknown element 'keyboards': the XKB registry has no element "
                                "of that name"));
}

TEST_F(XkbImport, TheRootMustBeTheRegistry) {
    EXPECT_EQ(import("<?xml version='1.0'?>\n<modelList/>\n"), nullptr);
    EXPECT_EQ(m_error, at(2, 1, "the root element is 'modelList', not 'xkbConfigRegistry'"));
}

TEST_F(XkbImport, AnElementOutsideItsParentsContentIsRefused) {
    EXPECT_EQ(import("<xkbConfigRegistry>\n<modelList/>\n<layoutList>\n  <model>"), nullptr);
    EXPECT_EQ(m_error, at(4, 3, "element 'model' is not allowed in element 'layoutList'"));
    EXPECT_EQ(import(registry("<modelList><model><configItem><name>x<vendor/></name>")), nullptr);
    EXPECT_EQ(m_error, at(2, 38, "element 'vendor' is not allowed in element 'name'"));
}

TEST_F(XkbImport, ChildrenMustComeInTheirOrderAndNumber) {
    EXPECT_EQ(import(registry("<modelList><model><configItem>\n<description/>")), nullptr);
    EXPECT_EQ(m_error, at(3, 1, "element 'description' is not allowed here in element "
                                "'configItem': element 'name' must come first"));
    EXPECT_EQ(import(registry("<modelList><model><configItem>\n<name/><name/>")), nullptr);
    EXPECT_EQ(m_error, at(3, 8, "element 'name' is not allowed here in element 'configItem': "
                                "repeated or out of order"));
    EXPECT_EQ(import(registry("<modelList><model><configItem><name/><vendor/><description/>")),
              nullptr);
    EXPECT_EQ(m_error, at(2, 47, "element 'description' is not allowed here in element "
                                 "'configItem': repeated or out of order"));
    EXPECT_EQ(import("<xkbConfigRegistry><layoutList/>"), nullptr);
    EXPECT_EQ(m_error, at(1, 20, "element 'layoutList' is not allowed here in element "
                                 "'xkbConfigRegistry': element 'modelList' must come first"));
}

TEST_F(XkbImport, AMissingRequiredChildIsReportedAtTheEndTag) {
    EXPECT_EQ(import(registry("<modelList>\n  <model>\n  </model>")), nullptr);
    EXPECT_EQ(m_error,
              at(4, 3, "element 'model' ends without its required element 'configItem'"));
    EXPECT_EQ(import("<xkbConfigRegistry><modelList/><layoutList/></xkbConfigRegistry>"), nullptr);
    EXPECT_EQ(m_error, at(1, 45, "element 'xkbConfigRegistry' ends without its required element "
                                 "'optionList'"));
    EXPECT_EQ(import(registry("<modelList><model><configItem><name/><countryList>"
                              "</countryList>")),
              nullptr);
    EXPECT_EQ(m_error,
              at(2, 51, "element 'countryList' ends without its required element 'iso3166Id'"));
}

TEST_F(XkbImport, TextIsRefusedWhereOnlyElementsMayStand) {
    EXPECT_EQ(import("<xkbConfigRegistry>\n  <modelList> pc105 </modelList>"), nullptr);
    EXPECT_EQ(m_error, at(2, 14, "text is not allowed in element 'modelList', which holds "
                                 "elements only"));
}

TEST_F(XkbImport, AttributesMustBeDeclaredAndAllowed) {
    EXPECT_EQ(import(registry("<modelList>\n  <model  id='1'>")), nullptr);
    EXPECT_EQ(m_error, at(3, 11, "attribute 'id' is not declared for element 'model'"));
    EXPECT_EQ(import(registry("<modelList><model><configItem popularity='rare'>")), nullptr);
    EXPECT_EQ(m_error, at(2, 31, "attribute 'popularity' of element 'configItem' has the value "
                                 "'rare'; it must be 'standard' or 'exotic'"));
    EXPECT_EQ(import("<xkbConfigRegistry><modelList/><layoutList/><optionList>"
                     "<group allowMultipleSelection='yes'>"),
              nullptr);
    EXPECT_EQ(m_error, at(1, 64, "attribute 'allowMultipleSelection' of element 'group' has the "
                                 "value 'yes'; it must be 'true' or 'false'"));
    EXPECT_EQ(import("<xkbConfigRegistry><modelList version='1.1'/>"), nullptr);
    EXPECT_EQ(m_error, at(1, 31, "attribute 'version' is not declared for element 'modelList'"));
}

TEST_F(XkbImport, ErrorsOfWellFormednessPassThrough) {
    EXPECT_EQ(import(registry("<modelList></layoutList>")), nullptr);
    EXPECT_EQ(m_error.rfind("Error: " + m_file.path() + ":2:", 0), 0u) << m_error;
}

TEST_F(XkbImport, AFailedImportLeavesNoRootAndTheImporterUsable) {
    ASSERT_NE(import(registry("<modelList/>")), nullptr) << m_error;
    EXPECT_EQ(import(registry("<modelList><model><configItem><name>pc</name></configItem>"
                              "<configItem/></model></modelList>")),
              nullptr);
    EXPECT_EQ(m_importer.GetXObject(), nullptr);
    EXPECT_EQ(m_importer.elementCount(), 4);  // still those of the latest successful import
    ASSERT_NE(importFile(kSample), nullptr) << m_error;
    EXPECT_EQ(m_importer.elementCount(), 57);
}

// --- the factory -----------------------------------------------------------------------

namespace {
class CountedModel : public xkb::model {
public:
    Ostrel::XObject* clone() const override { return new (std::nothrow) CountedModel(*this); }
};
Ostrel::XObject* createCountedModel() { return new (std::nothrow) CountedModel; }
Ostrel::XObject* createVariantForModel() { return new (std::nothrow) xkb::variant; }
Ostrel::XObject* createNothing() { return nullptr; }
} // namespace

TEST_F(XkbImport, ElementsAreMadeThroughTheFactory) {
    Ostrel::XObjectFactory::RegisterCreateFunction("model", createCountedModel);
    xkb::xkbConfigRegistry* root = importFile(kSample);
    ASSERT_NE(root, nullptr) << m_error;
    for (const xkb::model& model : root->GetModelList()->GetModels())
        EXPECT_EQ(typeid(model), typeid(CountedModel));
}

TEST_F(XkbImport, AnObjectOfAnotherClassIsRefused) {
    Ostrel::XObjectFactory::RegisterCreateFunction("model", createVariantForModel);
    EXPECT_EQ(import(registry("<modelList>\n<model>")), nullptr);
    EXPECT_EQ(m_error, at(3, 1, "the create function registered for 'model' made an object of "
                                "another class"));
}

TEST_F(XkbImport, FactoryErrorsGetThePosition) {
    Ostrel::XObjectFactory::RegisterCreateFunction("vendor", createNothing);
    EXPECT_EQ(import(registry("<modelList><model><configItem><name/><vendor>")), nullptr);
    EXPECT_EQ(m_error, at(2, 38, "Unable to allocate memory for object 'vendor'"));
}
