// The XKB element classes: defaults, the written form, copies, validity, child access and
// the create functions.
#include "xkb/xkb_importer.h"
#include "xkb_sample_tree.h"

#include <ostrelbase/xobjfactory.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <typeinfo>
#include <vector>

using xkb_test::emitted;
using xkb_test::item;
using xkb_test::sampleRegistry;

namespace {

// Opens the attribute helpers, to spoil an element the way only a derived class can.
class OpenGroup : public xkb::group {
public:
    using xkb::group::getAttribute;
    using xkb::group::setAttribute;
};
class OpenConfigItem : public xkb::configItem {
public:
    using xkb::configItem::getAttribute;
    using xkb::configItem::setAttribute;
};

const char* const kSampleForm =
    "<xkbConfigRegistry version='1.1'>\n"
    "\t<modelList>\n"
    "\t\t<model>\n"
    "\t\t\t<configItem popularity='standard'>\n"
    "\t\t\t\t<name>pc105</name>\n"
    "\t\t\t\t<description>Generic 105-key PC &amp; &lt;friends&gt;</description>\n"
    "\t\t\t</configItem>\n"
    "\t\t</model>\n"
    "\t</modelList>\n"
    "\t<layoutList>\n"
    "\t\t<layout>\n"
    "\t\t\t<configItem popularity='standard'>\n"
    "\t\t\t\t<name>us</name>\n"
    "\t\t\t\t<shortDescription>en</shortDescription>\n"
    "\t\t\t\t<countryList>\n"
    "\t\t\t\t\t<iso3166Id>US</iso3166Id>\n"
    "\t\t\t\t</countryList>\n"
    "\t\t\t\t<languageList>\n"
    "\t\t\t\t\t<iso639Id>eng</iso639Id>\n"
    "\t\t\t\t</languageList>\n"
    "\t\t\t</configItem>\n"
    "\t\t\t<variantList>\n"
    "\t\t\t\t<variant>\n"
    "\t\t\t\t\t<configItem popularity='exotic'>\n"
    "\t\t\t\t\t\t<name>intl</name>\n"
    "\t\t\t\t\t</configItem>\n"
    "\t\t\t\t</variant>\n"
    "\t\t\t</variantList>\n"
    "\t\t</layout>\n"
    "\t</layoutList>\n"
    "\t<optionList>\n"
    "\t\t<group allowMultipleSelection='true'>\n"
    "\t\t\t<configItem popularity='standard'>\n"
    "\t\t\t\t<name>grp</name>\n"
    "\t\t\t</configItem>\n"
    "\t\t\t<option>\n"
    "\t\t\t\t<configItem popularity='standard'>\n"
    "\t\t\t\t\t<name>grp:toggle</name>\n"
    "\t\t\t\t</configItem>\n"
    "\t\t\t</option>\n"
    "\t\t</group>\n"
    "\t</optionList>\n"
    "</xkbConfigRegistry>\n";

} // namespace

// --- defaults -----------------------------------------------------------------------

TEST(XkbDefaults, NewElementsCarryTheirDefaultAttributes) {
    xkb::xkbConfigRegistry registry;
    xkb::configItem configItem;
    xkb::group group;
    EXPECT_TRUE(registry.HasAttribute("version"));
    EXPECT_EQ(registry.GetVersion(), "1.1");
    EXPECT_TRUE(configItem.HasAttribute("popularity"));
    EXPECT_EQ(configItem.GetPopularity(), "standard");
    EXPECT_TRUE(group.HasAttribute("allowMultipleSelection"));
    EXPECT_FALSE(group.GetAllowMultipleSelection());
    EXPECT_EQ(emitted(group), "<group allowMultipleSelection='false'></group>\n");
}

TEST(XkbDefaults, RemovedAttributesReadAsTheirDefaultAndAreNotWritten) {
    xkb::configItem configItem;
    configItem.SetPopularity("exotic");
    configItem.RemoveAttribute("popularity");
    EXPECT_EQ(configItem.GetPopularity(), "standard");
    EXPECT_EQ(emitted(configItem), "<configItem></configItem>\n");
    xkb::group group;
    group.SetAllowMultipleSelection(true);
    EXPECT_TRUE(group.GetAllowMultipleSelection());
    group.RemoveAttribute("allowMultipleSelection");
    EXPECT_FALSE(group.GetAllowMultipleSelection());
}

TEST(XkbDefaults, AttributesHaveTheirValueClasses) {
    OpenGroup group;
    group.SetAllowMultipleSelection(true);
    EXPECT_NE(dynamic_cast<const Ostrel::boolean*>(group.getAttribute("allowMultipleSelection")),
              nullptr);
    OpenConfigItem configItem;
    EXPECT_NE(dynamic_cast<const Ostrel::string*>(configItem.getAttribute("popularity")), nullptr);
}

// --- written form -------------------------------------------------------------------

TEST(XkbEmit, WritesTheTabIndentedTreeInContentModelOrder) {
    auto registry = sampleRegistry();
    EXPECT_EQ(emitted(*registry), kSampleForm);
}

TEST(XkbEmit, NestedLevelsStartAtTheGivenIndentation) {
    xkb::countryList countries;
    countries.AddIso3166Id("DE");
    countries.AddIso3166Id("AT");
    EXPECT_EQ(emitted(countries, 2),
              "\t\t<countryList>\n\t\t\t<iso3166Id>DE</iso3166Id>\n\t\t\t<iso3166Id>AT</iso3166Id>\n"
              "\t\t</countryList>\n");
}

TEST(XkbEmit, ElementsWithoutChildrenTakeOneLine) {
    xkb::modelList models;
    xkb::configItem empty;
    empty.RemoveAttribute("popularity");
    EXPECT_EQ(emitted(models, 1), "\t<modelList></modelList>\n");
    EXPECT_EQ(emitted(empty), "<configItem></configItem>\n");
}

TEST(XkbEmit, LeafTextAndAttributesAreEscaped) {
    xkb::configItem configItem;
    configItem.SetName("a'b\"c");
    configItem.SetPopularity("<&>");
    EXPECT_EQ(emitted(configItem),
              "<configItem popularity='&lt;&amp;&gt;'>\n\t<name>a&apos;b&quot;c</name>\n"
              "</configItem>\n");
}

TEST(XkbEmit, WritesWhatEmitXMLToFileNeeds) {
    auto registry = sampleRegistry();
    std::ostringstream header;
    registry->EmitXMLHeader(header, "xkb.dtd");
    EXPECT_EQ(header.str(),
              "<?xml version='1.0'?>\n<!DOCTYPE xkbConfigRegistry SYSTEM \"xkb.dtd\">\n"
              "<!-- created with Ostrel version 1.2 -->\n");
}

// --- copies -------------------------------------------------------------------------

TEST(XkbCopy, CopyConstructionIsDeep) {
    auto original = sampleRegistry();
    xkb::xkbConfigRegistry copy(*original);
    EXPECT_EQ(emitted(copy), kSampleForm);
    copy.GetModelList()->GetModels()[0].GetConfigItem()->SetName("changed");
    copy.SetVersion("2.0");
    EXPECT_EQ(emitted(*original), kSampleForm);
    EXPECT_NE(copy.GetModelList(), original->GetModelList());
}

TEST(XkbCopy, AssignmentCopiesTagAndChildrenButNotAttributes) {
    xkb::configItem source;
    source.SetName("source");
    source.SetVendor("Vendor");
    source.SetPopularity("exotic");
    xkb::configItem target;
    target.SetName("target");
    target.SetDescription("goes away");
    target = source;
    EXPECT_EQ(target.GetPopularity(), "standard");
    ASSERT_NE(target.GetName(), nullptr);
    EXPECT_EQ(*target.GetName(), "source");
    EXPECT_EQ(target.GetDescription(), nullptr);
    ASSERT_NE(target.GetVendor(), nullptr);
    EXPECT_NE(target.GetVendor(), source.GetVendor());
    target = target;
    EXPECT_EQ(*target.GetName(), "source");
}

TEST(XkbCopy, AssignmentKeepsTheAssignedListsIndependent) {
    xkb::group source;
    source.SetConfigItem(item("grp"));
    source.GetOptions().Add(std::make_unique<xkb::option>());
    source.SetAllowMultipleSelection(true);
    xkb::group target;
    target = source;
    EXPECT_FALSE(target.GetAllowMultipleSelection());
    ASSERT_EQ(target.GetOptions().size(), 1u);
    source.GetOptions().Clear();
    EXPECT_EQ(target.GetOptions().size(), 1u);
}

TEST(XkbCopy, CloneKeepsTheClassAndCopiesDeeply) {
    auto registry = sampleRegistry();
    std::vector<Ostrel::XObject*> originals = {registry.get(),
                                               registry->GetModelList(),
                                               &registry->GetModelList()->GetModels()[0],
                                               registry->GetLayoutList(),
                                               &registry->GetLayoutList()->GetLayouts()[0],
                                               registry->GetOptionList(),
                                               &registry->GetOptionList()->GetGroups()[0]};
    for (Ostrel::XObject* original : originals) {
        std::unique_ptr<Ostrel::XObject> copy(original->clone());
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(typeid(*copy), typeid(*original));
        EXPECT_EQ(emitted(*copy), emitted(*original));
        EXPECT_EQ(*copy == *original, 1);
    }
}

TEST(XkbCopy, CopiesKeepTheClassOfDerivedChildren) {
    class Tracked : public xkb::model {
    public:
        Ostrel::XObject* clone() const override { return new Tracked(*this); }
    };
    xkb::modelList models;
    models.GetModels().Add(std::make_unique<Tracked>());
    xkb::modelList copy(models);
    EXPECT_EQ(typeid(copy.GetModels()[0]), typeid(Tracked));
}

// --- validity -----------------------------------------------------------------------

TEST(XkbValid, ACompleteTreeIsValid) {
    EXPECT_TRUE(sampleRegistry()->IsValid());
}

TEST(XkbValid, MissingRequiredChildrenAreInvalid) {
    EXPECT_FALSE(xkb::xkbConfigRegistry().IsValid());
    EXPECT_FALSE(xkb::model().IsValid());
    EXPECT_FALSE(xkb::layout().IsValid());
    EXPECT_FALSE(xkb::group().IsValid());
    EXPECT_FALSE(xkb::configItem().IsValid());
    EXPECT_FALSE(xkb::countryList().IsValid());
    EXPECT_FALSE(xkb::languageList().IsValid());
    EXPECT_FALSE(xkb::hwList().IsValid());
    EXPECT_TRUE(xkb::modelList().IsValid());
    EXPECT_TRUE(xkb::variantList().IsValid());

    auto registry = sampleRegistry();
    registry->RemoveElement("layoutList");
    EXPECT_FALSE(registry->IsValid());
}

TEST(XkbValid, AnInvalidDescendantMakesTheRootInvalid) {
    auto registry = sampleRegistry();
    xkb::configItem* us = registry->GetLayoutList()->GetLayouts()[0].GetConfigItem();
    us->GetCountryList()->GetIso3166Ids().Clear();
    EXPECT_FALSE(registry->IsValid());
    us->GetCountryList()->AddIso3166Id("CA");
    EXPECT_TRUE(registry->IsValid());
    us->RemoveElement("name");
    EXPECT_FALSE(registry->IsValid());
}

TEST(XkbValid, PopularityMustBeStandardOrExotic) {
    auto configItem = item("x");
    configItem->SetPopularity("exotic");
    EXPECT_TRUE(configItem->IsValid());
    configItem->SetPopularity("rare");
    EXPECT_FALSE(configItem->IsValid());
    configItem->SetPopularity("Standard");
    EXPECT_FALSE(configItem->IsValid());
    EXPECT_TRUE(xkb::configItem::IsPopularity("standard"));
    EXPECT_FALSE(xkb::configItem::IsPopularity(""));
}

TEST(XkbValid, AttributesMustBeDeclaredAndOfTheirClass) {
    OpenGroup group;
    group.SetConfigItem(item("grp"));
    EXPECT_TRUE(group.IsValid());
    const Ostrel::string yes("yes");
    group.setAttribute("allowMultipleSelection", &yes);
    EXPECT_FALSE(group.IsValid());
    group.SetAllowMultipleSelection(false);
    EXPECT_TRUE(group.IsValid());
    group.setAttribute("colour", &yes);
    EXPECT_FALSE(group.IsValid());

    OpenConfigItem configItem;
    configItem.SetName("x");
    const Ostrel::boolean truth(true);
    configItem.setAttribute("popularity", &truth);
    EXPECT_FALSE(configItem.IsValid());
}

TEST(XkbValid, TagsMustBeTheElementNames) {
    auto configItem = item("x");
    configItem->GetName()->SetTag("title");
    EXPECT_FALSE(configItem->IsValid());
    configItem->GetName()->SetTag("name");
    EXPECT_TRUE(configItem->IsValid());
    configItem->SetTag("item");
    EXPECT_FALSE(configItem->IsValid());
}

TEST(XkbValid, AdoptedLeavesAreTaggedWithTheirElementName) {
    xkb::configItem configItem;
    configItem.SetName(std::make_unique<Ostrel::string>("pc86"));
    ASSERT_NE(configItem.GetName(), nullptr);
    EXPECT_EQ(configItem.GetName()->GetTag(), "name");
    EXPECT_TRUE(configItem.IsValid());
    configItem.SetName(std::unique_ptr<Ostrel::string>());
    EXPECT_EQ(configItem.GetName(), nullptr);
}

// --- children -----------------------------------------------------------------------

TEST(XkbChildren, HasElementAndRemoveElementWorkOnDirectChildren) {
    auto registry = sampleRegistry();
    EXPECT_TRUE(registry->HasElement("modelList"));
    EXPECT_FALSE(registry->HasElement("model"));  // a grandchild
    EXPECT_FALSE(registry->HasElement("xkbConfigRegistry"));

    xkb::configItem& us = *registry->GetLayoutList()->GetLayouts()[0].GetConfigItem();
    for (const char* name : {"name", "shortDescription", "countryList", "languageList"})
        EXPECT_TRUE(us.HasElement(name)) << name;
    for (const char* name : {"description", "vendor", "hwList", "iso3166Id", "Name"})
        EXPECT_FALSE(us.HasElement(name)) << name;
    us.RemoveElement("countryList");
    EXPECT_FALSE(us.HasElement("countryList"));
    EXPECT_EQ(us.GetCountryList(), nullptr);
    us.RemoveElement("nothing");
    EXPECT_TRUE(us.HasElement("name"));
}

TEST(XkbChildren, RemoveElementOnAListRemovesEveryChildOfThatName) {
    xkb::group group;
    group.SetConfigItem(item("grp"));
    group.GetOptions().Add(std::make_unique<xkb::option>());
    group.GetOptions().Add(std::make_unique<xkb::option>());
    EXPECT_TRUE(group.HasElement("option"));
    group.RemoveElement("option");
    EXPECT_FALSE(group.HasElement("option"));
    EXPECT_TRUE(group.HasElement("configItem"));

    xkb::hwList ids;
    ids.AddHwId("045e:0023");
    EXPECT_TRUE(ids.HasElement("hwId"));
    ids.RemoveElement("hwId");
    EXPECT_FALSE(ids.HasElement("hwId"));
}

TEST(XkbChildren, ListsKeepDocumentOrderAndCheckTheirArguments) {
    xkb::languageList languages;
    for (const char* id : {"eng", "deu", "fra"}) languages.AddIso639Id(id);
    std::string order;
    for (const Ostrel::string& id : languages.GetIso639Ids()) order += id + " ";
    EXPECT_EQ(order, "eng deu fra ");
    EXPECT_TRUE(languages.GetIso639Ids().Remove(1));
    EXPECT_FALSE(languages.GetIso639Ids().Remove(2));
    EXPECT_EQ(languages.GetIso639Ids()[1], "fra");
    EXPECT_THROW(languages.GetIso639Ids().at(2), std::out_of_range);
    try {
        languages.GetIso639Ids().Add(std::unique_ptr<Ostrel::string>());
        ADD_FAILURE() << "a null child was accepted";
    } catch (const Ostrel::XException& e) {
        EXPECT_EQ(e.GetMsg(), "Error: Attempt to add a null child element");
    }
    EXPECT_EQ(languages.GetIso639Ids().size(), 2u);
}

TEST(XkbChildren, AddingACopyLeavesTheOriginalWithTheCaller) {
    xkb::variantList variants;
    xkb::variant original;
    original.SetConfigItem(item("nodeadkeys"));
    xkb::variant& added = variants.GetVariants().Add(original);
    EXPECT_NE(&added, &original);
    original.GetConfigItem()->SetName("changed");
    EXPECT_EQ(*added.GetConfigItem()->GetName(), "nodeadkeys");
}

TEST(XkbChildren, SettingLeafTextUpdatesTheExistingLeaf) {
    xkb::configItem configItem;
    configItem.SetDescription("first");
    const Ostrel::string* leaf = configItem.GetDescription();
    configItem.SetDescription("second");
    EXPECT_EQ(configItem.GetDescription(), leaf);
    EXPECT_EQ(*configItem.GetDescription(), "second");
}

// --- create functions ---------------------------------------------------------------

TEST(XkbCreate, EveryElementIsCreatedByNameWithItsTag) {
    xkb::RegisterCreateFunctions();
    xkb::RegisterCreateFunctions();  // again: harmless
    const char* const names[] = {"xkbConfigRegistry", "modelList", "model", "layoutList",
                                 "layout", "optionList", "variantList", "variant", "group",
                                 "option", "configItem", "countryList", "languageList", "hwList",
                                 "name", "shortDescription", "description", "vendor",
                                 "iso3166Id", "iso639Id", "hwId"};
    for (const char* name : names) {
        std::unique_ptr<Ostrel::XObject> made(Ostrel::XObjectFactory::CreateObject(name));
        ASSERT_NE(made, nullptr) << name;
        EXPECT_EQ(made->GetTag(), name);
    }
    std::unique_ptr<Ostrel::XObject> leaf(Ostrel::XObjectFactory::CreateObject("vendor"));
    EXPECT_NE(dynamic_cast<Ostrel::string*>(leaf.get()), nullptr);
    std::unique_ptr<Ostrel::XObject> configItem(Ostrel::XObjectFactory::CreateObject("configItem"));
    ASSERT_NE(dynamic_cast<xkb::configItem*>(configItem.get()), nullptr);
    EXPECT_EQ(static_cast<xkb::configItem&>(*configItem).GetPopularity(), "standard");
}
