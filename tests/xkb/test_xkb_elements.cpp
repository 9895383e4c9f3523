// The XKB element classes: defaults, the written form, copies (also when memory runs out:
// clone gives null for the object itself, an XException naming the element for anything
// below it, and nothing leaks), validity, child access and the create functions.
#include "support/case_file.h"
#include "support/failing_alloc.h"
#include "support/file_util.h"
#include "xkb_test.h"

#include <ostrelbase/xobjfactory.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <typeinfo>
#include <vector>

using namespace xkb_test;
using ostrel_test::failNthNothrowAllocation;

TEST(XkbDefaults, AttributesHaveDefaultsAndValueClasses) {
    Open<xkb::group> group;
    Open<xkb::configItem> configItem;
    EXPECT_EQ(xkb::xkbConfigRegistry().GetVersion(), "1.1");
    EXPECT_EQ(emitted(group), "<group allowMultipleSelection='false'></group>\n");
    EXPECT_NE(dynamic_cast<const Ostrel::string*>(configItem.getAttribute("popularity")), nullptr);
    configItem.SetPopularity("exotic");
    configItem.RemoveAttribute("popularity");
    EXPECT_EQ(configItem.GetPopularity(), "standard");  // removed: the default, not written
    EXPECT_EQ(emitted(configItem), "<configItem></configItem>\n");
    group.SetAllowMultipleSelection(true);
    EXPECT_NE(dynamic_cast<const Ostrel::boolean*>(group.getAttribute("allowMultipleSelection")),
              nullptr);
    EXPECT_TRUE(group.GetAllowMultipleSelection());
    group.RemoveAttribute("allowMultipleSelection");
    EXPECT_FALSE(group.GetAllowMultipleSelection());
}

TEST(XkbEmit, WritesTabIndentedEscapedElements) {
    EXPECT_EQ(emitted(*load("built.xml")), ostrel_test::readFile(kData + "/built.xml"));
    xkb::configItem configItem;
    configItem.SetName("a'b\"c");
    configItem.SetPopularity("<&>");
    EXPECT_EQ(emitted(configItem, 1), "\t<configItem popularity='&lt;&amp;&gt;'>\n"
                                      "\t\t<name>a&apos;b&quot;c</name>\n\t</configItem>\n");
}

TEST(XkbCopy, CopiesAreDeepAndKeepTheClass) {
    auto original = load("built.xml");
    const std::string form = emitted(*original);
    xkb::xkbConfigRegistry copy(*original);
    EXPECT_EQ(emitted(copy), form);
    EXPECT_NE(copy.GetModelList(), original->GetModelList());
    copy.GetModelList()->GetModels()[0].GetConfigItem()->SetName("changed");
    copy.SetVersion("2.0");
    EXPECT_EQ(emitted(*original), form);
    for (Ostrel::XObject* from : std::vector<Ostrel::XObject*>{
             original.get(), &original->GetModelList()->GetModels()[0],
             original->GetLayoutList(), &original->GetOptionList()->GetGroups()[0]}) {
        std::unique_ptr<Ostrel::XObject> clone(from->clone());
        EXPECT_EQ(typeid(*clone), typeid(*from));
        EXPECT_EQ(emitted(*clone), emitted(*from));
        EXPECT_EQ(*clone == *from, 1);
    }
    struct Tracked : xkb::model {
        Ostrel::XObject* clone() const override { return new Tracked(*this); }
    };
    xkb::modelList models;
    models.GetModels().Add(std::make_unique<Tracked>());
    EXPECT_EQ(typeid(xkb::modelList(models).GetModels()[0]), typeid(Tracked));
}

TEST(XkbCopy, AssignmentCopiesTagAndChildrenButNotAttributes) {
    xkb::configItem from, to;
    from.SetName("source");
    from.SetVendor("Vendor");
    from.SetPopularity("exotic");
    to.SetName("target");
    to.SetDescription("goes away");
    to = from;
    to = *&to;
    from.SetVendor("changed");
    EXPECT_EQ(emitted(to), "<configItem popularity='standard'>\n\t<name>source</name>\n"
                           "\t<vendor>Vendor</vendor>\n</configItem>\n");
    xkb::group source, target;
    source.SetConfigItem(item("g"));
    source.GetOptions().Add(std::make_unique<xkb::option>());
    source.SetAllowMultipleSelection(true);
    target = source;
    source.GetOptions().Clear();
    EXPECT_EQ(emitted(target), "<group allowMultipleSelection='false'>\n\t<configItem popularity="
                               "'standard'>\n\t\t<name>g</name>\n\t</configItem>\n"
                               "\t<option></option>\n</group>\n");
}

TEST(XkbValid, RequiredChildrenValuesAttributesAndTagsAreChecked) {
    auto registry = load("built.xml");
    EXPECT_TRUE(registry->IsValid());
    xkb::configItem* us = registry->GetLayoutList()->GetLayouts()[0].GetConfigItem();
    us->GetCountryList()->GetIso3166Ids().Clear();
    EXPECT_FALSE(registry->IsValid());  // a descendant is invalid
    us->GetCountryList()->AddIso3166Id("CA");
    EXPECT_TRUE(registry->IsValid());
    us->RemoveElement("name");
    EXPECT_FALSE(registry->IsValid());
    registry = load("built.xml");
    registry->RemoveElement("layoutList");
    EXPECT_FALSE(registry->IsValid());

    Open<xkb::configItem> configItem;
    configItem.SetName("x");
    for (const auto& popularity : std::vector<std::pair<const char*, bool>>{
             {"exotic", true}, {"rare", false}, {"Standard", false}, {"", false}, {"standard", true}}) {
        configItem.SetPopularity(popularity.first);
        EXPECT_EQ(configItem.IsValid(), popularity.second) << popularity.first;
        EXPECT_EQ(xkb::configItem::IsPopularity(popularity.first), popularity.second);
    }
    configItem.GetName()->SetTag("title");
    EXPECT_FALSE(configItem.IsValid());
    configItem.GetName()->SetTag("name");
    const Ostrel::boolean truth(true);
    configItem.setAttribute("popularity", &truth);
    EXPECT_FALSE(configItem.IsValid());
    configItem.SetPopularity("standard");
    configItem.SetTag("item");
    EXPECT_FALSE(configItem.IsValid());

    Open<xkb::group> group;
    group.SetConfigItem(item("grp"));
    const Ostrel::string yes("yes");
    group.setAttribute("allowMultipleSelection", &yes);
    EXPECT_FALSE(group.IsValid());
    group.SetAllowMultipleSelection(false);
    EXPECT_TRUE(group.IsValid());
    group.setAttribute("colour", &yes);
    EXPECT_FALSE(group.IsValid());
}

TEST(XkbChildren, DirectChildrenAreFoundAndRemovedByName) {
    auto registry = load("built.xml");
    EXPECT_TRUE(registry->HasElement("modelList"));
    EXPECT_FALSE(registry->HasElement("model") || registry->HasElement("xkbConfigRegistry"));
    xkb::configItem& us = *registry->GetLayoutList()->GetLayouts()[0].GetConfigItem();
    for (const char* name : {"name", "shortDescription", "countryList", "languageList"})
        EXPECT_TRUE(us.HasElement(name)) << name;
    for (const char* name : {"description", "vendor", "hwList", "iso3166Id", "Name"})
        EXPECT_FALSE(us.HasElement(name)) << name;
    us.RemoveElement("countryList");
    us.RemoveElement("nothing");
    EXPECT_EQ(us.GetCountryList(), nullptr);
    EXPECT_EQ(emitted(us), "<configItem popularity='standard'>\n\t<name>us</name>\n\t<shortDescription>"
                           "en</shortDescription>\n\t<languageList>\n\t\t<iso639Id>eng</iso639Id>\n"
                           "\t</languageList>\n</configItem>\n");
    xkb::group group;  // on a list, every child of that name goes
    group.SetConfigItem(item("grp"));
    group.GetOptions().Add(std::make_unique<xkb::option>());
    group.GetOptions().Add(std::make_unique<xkb::option>());
    group.RemoveElement("option");
    EXPECT_FALSE(group.HasElement("option"));
    EXPECT_TRUE(group.HasElement("configItem"));
}

TEST(XkbChildren, ListsAndLeavesKeepOrderCopiesAndTheirObjects) {
    xkb::languageList languages;
    for (const char* id : {"eng", "deu", "fra"}) languages.AddIso639Id(id);
    EXPECT_TRUE(languages.GetIso639Ids().Remove(1));
    EXPECT_FALSE(languages.GetIso639Ids().Remove(2));
    EXPECT_THROW(languages.GetIso639Ids().at(2), std::out_of_range);
    try {
        languages.GetIso639Ids().Add(std::unique_ptr<Ostrel::string>());
        ADD_FAILURE() << "a null child was accepted";
    } catch (const Ostrel::XException& e) {
        EXPECT_EQ(e.GetMsg(), "Error: Attempt to add a null child element");
    }
    std::string order;
    for (const Ostrel::string& id : languages.GetIso639Ids()) order += id + " ";
    EXPECT_EQ(order, "eng fra ");

    xkb::variantList variants;
    xkb::variant original;
    original.SetConfigItem(item("nodeadkeys"));
    xkb::variant& added = variants.GetVariants().Add(original);
    original.GetConfigItem()->SetName("changed");
    EXPECT_EQ(*added.GetConfigItem()->GetName(), "nodeadkeys");

    xkb::configItem configItem;
    configItem.SetDescription("first");
    const Ostrel::string* leaf = configItem.GetDescription();
    configItem.SetDescription("second");
    EXPECT_EQ(configItem.GetDescription(), leaf);  // the leaf is updated, not replaced
    EXPECT_EQ(*leaf, "second");
    configItem.SetName(std::make_unique<Ostrel::string>("pc86"));  // adopted: tagged
    EXPECT_EQ(configItem.GetName()->GetTag(), "name");
    EXPECT_TRUE(configItem.IsValid());
    configItem.SetName(std::unique_ptr<Ostrel::string>());
    EXPECT_EQ(configItem.GetName(), nullptr);
}

TEST(XkbCreate, EveryElementIsCreatedByNameWithItsTagAndClass) {
    xkb::RegisterCreateFunctions();
    xkb::RegisterCreateFunctions();  // again: harmless
    const auto cases = ostrel_test::readCases(kData + "/classes.txt");
    EXPECT_EQ(cases.size(), 21u);
    for (const ostrel_test::Case& c : cases) {
        std::unique_ptr<Ostrel::XObject> made(Ostrel::XObjectFactory::CreateObject(c.fields[0].text));
        ASSERT_NE(made, nullptr) << c.where;
        EXPECT_EQ(made->GetTag(), c.fields[0].text);
        const bool text = dynamic_cast<Ostrel::string*>(made.get()) != nullptr;
        EXPECT_EQ(text ? "text" : made->IsValid() ? "valid" : "invalid", c.fields[1].text) << c.where;
    }
    std::unique_ptr<Ostrel::XObject> configItem(Ostrel::XObjectFactory::CreateObject("configItem"));
    EXPECT_EQ(dynamic_cast<xkb::configItem&>(*configItem).GetPopularity(), "standard");
}

TEST(XkbOutOfMemory, EveryFailureWhileCloningIsReportedAndFreed) {
    auto registry = xkb_test::load("built.xml");
    const std::string form = xkb_test::emitted(*registry);
    failNthNothrowAllocation(1);
    EXPECT_EQ(registry->clone(), nullptr);  // the object itself cannot be had
    int failures = 0;
    for (int n = 2;; ++n) {
        failNthNothrowAllocation(n);
        std::unique_ptr<Ostrel::XObject> copy;
        std::string message;
        try {
            copy.reset(registry->clone());
        } catch (const Ostrel::XException& e) {
            message = e.GetMsg();
        }
        failNthNothrowAllocation(0);
        if (copy) {
            EXPECT_EQ(xkb_test::emitted(*copy), form);
            break;
        }
        ++failures;
        EXPECT_EQ(message.rfind("Error: Unable to allocate memory for ", 0), 0u) << message;
    }
    EXPECT_GT(failures, 20);  // every element and attribute value of the tree
    EXPECT_EQ(xkb_test::emitted(*registry), form);
}

TEST(XkbOutOfMemory, AFailedChildCopyNamesTheElement) {
    xkb::model model;
    model.SetConfigItem(xkb_test::item("pc105"));
    failNthNothrowAllocation(2);  // the model is the first, its configItem the second
    try {
        std::unique_ptr<Ostrel::XObject> copy(model.clone());
        ADD_FAILURE() << "the copy succeeded";
    } catch (const Ostrel::XException& e) {
        EXPECT_EQ(e.GetMsg(), "Error: Unable to allocate memory for element 'configItem'");
    }
    failNthNothrowAllocation(0);
}
