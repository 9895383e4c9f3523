// The XKB element classes: edits of trees and what follows from them (validity, children,
// copies, escaping, the factory's elements; tests/data/xkb/edits.txt), the typed accessors, copies
// (also when memory runs out: clone gives null for the object itself, an XException
// naming the element for anything below it, and nothing leaks) and the lists.
#include "support/failing_alloc.h"
#include "xkb_test.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <typeinfo>

using namespace xkb_test;
using ostrel_test::Attributes;
using ostrel_test::failNthNothrowAllocation;

TEST(XkbEdits, TreesFollowTheirEdits) {
    xkb::RegisterCreateFunctions();
    xkb::RegisterCreateFunctions();  // again: harmless
    xkb::XkbImporter importer;
    ostrel_test::runEdits(kData + "/edits.txt", kData, importer);
}

// Copies are deep: the clone steps of edits.txt, and the out-of-memory test below, which
// sees an allocation for every element.
TEST(XkbCopy, ChildrenKeepTheirClassAndAssignmentCopiesTagAndChildrenButNotAttributes) {
    struct Tracked : xkb::model {
        Ostrel::XObject* clone() const override { return new Tracked(*this); }
    };
    xkb::modelList models;
    models.GetModels().Add(std::make_unique<Tracked>());
    EXPECT_EQ(typeid(xkb::modelList(models).GetModels()[0]), typeid(Tracked));
    xkb::configItem from, to;
    from.SetName("source");
    from.SetVendor("Vendor");
    from.SetPopularity("exotic");
    to.SetName("target");
    to.SetDescription("goes away");
    to = from;
    to = *&to;
    from.SetVendor("changed");
    EXPECT_EQ(elementOf(to), "<configItem popularity='standard'>\n\t<name>source</name>\n"
                           "\t<vendor>Vendor</vendor>\n</configItem>\n");
}

// Attributes have their defaults and value classes; lists and leaves keep order, copies
// and their objects.
TEST(XkbAccessors, AttributesListsAndLeaves) {
    xkb::group group;
    xkb::configItem popular;
    EXPECT_NE(dynamic_cast<const Ostrel::string*>(Attributes::get(popular, "popularity")), nullptr);
    popular.SetPopularity("exotic");
    popular.RemoveAttribute("popularity");
    EXPECT_EQ(popular.GetPopularity(), "standard");  // removed: the default
    group.SetAllowMultipleSelection(true);
    EXPECT_NE(dynamic_cast<const Ostrel::boolean*>(Attributes::get(group, "allowMultipleSelection")), nullptr);
    EXPECT_TRUE(group.GetAllowMultipleSelection());
    group.RemoveAttribute("allowMultipleSelection");
    EXPECT_FALSE(group.GetAllowMultipleSelection());
    xkb::languageList languages;
    for (const char* id : {"eng", "deu", "fra"}) languages.AddIso639Id(id);
    EXPECT_TRUE(languages.GetIso639Ids().Remove(1));
    EXPECT_FALSE(languages.GetIso639Ids().Remove(2));
    EXPECT_THROW(languages.GetIso639Ids().at(2), std::out_of_range);
    EXPECT_EQ(ostrel_test::messageOf([&] { languages.GetIso639Ids().Add(std::unique_ptr<Ostrel::string>()); }),
              "Error: Attempt to add a null child element");
    EXPECT_EQ(elementOf(languages),
              "<languageList>\n\t<iso639Id>eng</iso639Id>\n\t<iso639Id>fra</iso639Id>\n</languageList>\n");
    languages.GetIso639Ids().Clear();
    EXPECT_FALSE(languages.IsValid());

    xkb::variantList variants;
    xkb::variant original;
    original.SetConfigItem(std::make_unique<xkb::configItem>());
    original.GetConfigItem()->SetName("nodeadkeys");
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

TEST(XkbOutOfMemory, EveryFailureWhileCloningIsReportedAndFreed) {
    xkb::RegisterCreateFunctions();
    xkb::XkbImporter importer;
    importer.ImportFromFile(kData + "/built.xml", true);
    std::unique_ptr<xkb::xkbConfigRegistry> registry(importer.GetRegistry());
    const std::string form = elementOf(*registry), prefix = "Error: Unable to allocate memory for ";
    const std::string first[] = {"(nothing thrown)" /* null: no object at all */, prefix + "an attributes map",
                                 prefix + "an attribute", prefix + "element 'modelList'", prefix + "element 'model'"};
    int n = 1;
    for (;; ++n) {
        failNthNothrowAllocation(n);
        std::unique_ptr<Ostrel::XObject> copy;
        std::string message = ostrel_test::messageOf([&] { copy.reset(registry->clone()); });
        failNthNothrowAllocation(0);
        if (copy) {
            EXPECT_EQ(elementOf(*copy), form);
            break;
        }
        EXPECT_EQ(n <= 5 ? message : message.substr(0, prefix.size()), n <= 5 ? first[n - 1] : prefix);
    }
    EXPECT_GT(n, 20);  // every element and attribute value of the tree
    EXPECT_EQ(elementOf(*registry), form);
}
