// The element base: owned attributes, copies, comparison, and running out of memory.
#include "support/failing_alloc.h"
#include "support/test_element.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

using ostrel_test::Element;
using ostrel_test::failNthNothrowAllocation;
using ostrel_test::messageOf;

namespace {

const char* const kAttributeMessage = "Error: Unable to allocate memory for an attribute";
const char* const kMapMessage = "Error: Unable to allocate memory for an attributes map";

// The names and texts of the attributes in map order, "(no map)" without a map.
std::string attributesOf(Element& e) {
    if (!e.attributes()) return "(no map)";
    std::string all;
    for (auto& [name, value] : *e.attributes()) {
        const auto* text = dynamic_cast<const Ostrel::string*>(value);
        all += name + "=" + (text ? std::string(*text) : "?") + (value->GetTag() == name ? "," : "(tag),");
    }
    return all;
}

} // namespace

TEST(XObjectAttributes, SetReplaceRemoveAndTheirFailures) {
    Element e("a");
    e.setAttribute("x", nullptr);  // a null value removes; no map is made for it
    EXPECT_EQ(attributesOf(e), "(no map)");
    Ostrel::string first("1"), second("2");
    first.SetTag("count");
    failNthNothrowAllocation(2);  // the clone comes first, then the map
    EXPECT_EQ(messageOf([&] { e.setAttribute("n", &first); }), kMapMessage);
    failNthNothrowAllocation(0);
    EXPECT_EQ(attributesOf(e), "(no map)");
    e.setAttribute("size", &first);
    EXPECT_NE(e.getAttribute("size"), &first);  // a copy, tagged with the name
    EXPECT_EQ(first.GetTag(), "count");
    e.setAttribute("size", &second);
    e.setAttribute("size", e.getAttribute("size"));  // from the stored value itself
    ostrel_test::Unclonable bad;
    EXPECT_EQ(messageOf([&] { e.setAttribute("size", &bad); }), kAttributeMessage);  // as out of memory
    for (const char* name : {"idref", "a", "Z", "id"}) e.setAttribute(name, &first);
    EXPECT_EQ(attributesOf(e), "Z=1,a=1,id=1,idref=1,size=2,");  // byte order
    e.setAttribute("a", nullptr);
    e.RemoveAttribute("never-there");
    for (const char* name : {"Z", "id", "idref"}) e.RemoveAttribute(name);
    EXPECT_EQ(attributesOf(e), "size=2,");
    e.RemoveAttribute("size");
    EXPECT_EQ(attributesOf(e), "");  // the map stays, empty
    EXPECT_FALSE(e.HasAttribute("size"));
    EXPECT_EQ(messageOf([&] { e.getAttribute("colour"); }),
              "Error: Attempt to retrieve non-existent attribute 'colour'");
    e.freeAttributes();
    EXPECT_EQ(attributesOf(e), "(no map)");
}

TEST(XObjectCopy, AssignmentTakesTheTagOnlyCopiesTakeEverything) {
    Element a("a"), b("b");
    Ostrel::string v("1");
    a.setAttribute("mine", &v);
    b.setAttribute("theirs", &v);
    a = b;
    EXPECT_EQ(a.GetTag(), "b");
    EXPECT_EQ(attributesOf(a), "mine=1,");
    Element c(b);
    EXPECT_EQ(c.GetTag(), "b");
    b.RemoveAttribute("theirs");
    EXPECT_EQ(attributesOf(c), "theirs=1,");  // the copy owns its own values
    c.copyAttributesFrom(a.attributes());
    EXPECT_EQ(attributesOf(c), "mine=1,");
    c.copyAttributesFrom(nullptr);
    EXPECT_EQ(attributesOf(c), "(no map)");
    failNthNothrowAllocation(1);  // a copy fails at the map first
    EXPECT_EQ(messageOf([&] { Element d(b); }), kMapMessage);
    failNthNothrowAllocation(0);
    // A failed copy keeps what was copied, owned by the target.
    for (const char* name : {"a", "b", "c"}) b.setAttribute(name, &v);
    (*b.attributes())["d"] = new ostrel_test::Unclonable;
    EXPECT_EQ(messageOf([&] { c.copyAttributesFrom(b.attributes()); }), kAttributeMessage);
    EXPECT_EQ(attributesOf(c), "a=1,b=1,c=1,");
}

// A shared map serves every copy until that copy changes its attributes, and outlives the
// object that shared it; once the room for shared maps is used up, copies clone again.
TEST(XObjectCopy, SharedAttributesAreCopiedOnChange) {
    Ostrel::string v("1");
    std::vector<Element> shared, cloned;
    for (int round = 0; round < 4100; ++round) {
        Element prototype("p");
        prototype.setAttribute("a", &v);
        prototype.setAttribute("b", &v);
        prototype.shareAttributes();
        std::vector<Element> copies(3, prototype);
        EXPECT_EQ(copies[0].attributes() == prototype.attributes(), round < 4096) << round;
        (round == 0 ? shared : cloned).swap(copies);
    }
    // Memory running out for the new value, the own map or a copied value leaves the
    // shared map in place.
    for (int n = 1; n <= 4; ++n) {
        failNthNothrowAllocation(n);
        const std::string message = messageOf([&] { shared[0].setAttribute("a", &v); });
        failNthNothrowAllocation(0);
        EXPECT_EQ(message, n == 2 ? kMapMessage : kAttributeMessage) << n;
        EXPECT_EQ(shared[0].attributes(), shared[2].attributes()) << n;
    }
    for (auto* copies : {&shared, &cloned}) {
        Element& changed = (*copies)[0];
        changed.setAttribute("a", &changed);
        (*copies)[1].RemoveAttribute("b");
        EXPECT_EQ(attributesOf(changed), "a=?,b=1,");
        EXPECT_EQ(attributesOf((*copies)[1]), "a=1,");
        EXPECT_EQ(attributesOf((*copies)[2]), "a=1,b=1,");
    }
}

// Tags, attribute names and the tags of their values count, not texts; values that are
// elements with attributes are compared one level deeper.
TEST(XObjectCompare, TagsAndAttributeNamesAndValueTagsNotTexts) {
    Ostrel::string one("one"), two("two"), other("two");
    other.SetTag("other");
    EXPECT_EQ((one == two) * 10 + (one != two), 10);
    EXPECT_EQ((one == other) * 10 + (one != other), 1);
    Element a("e"), b("e"), inner1("i"), inner2("i");
    inner1.setAttribute("deep", &one);
    // Each step changes a or b, and says whether they are then equal.
    const std::pair<std::function<void()>, int> steps[] = {
        {[&] { a.setAttribute("n", &one); }, 0},  // a map against none
        {[&] { b.setAttribute("n", &two); }, 1},  // same names and tags, different texts
        {[&] { b.setAttribute("m", &two); }, 0},  // different sizes
        {[&] { a.setAttribute("o", &one); }, 0},  // same size, different names
        {[&] { for (const char* n : {"m", "n", "o"}) a.RemoveAttribute(n), b.RemoveAttribute(n); }, 1},
        {[&] { b.freeAttributes(); }, 0},  // an empty map against none
        {[&] { a.freeAttributes(); a.setAttribute("v", &inner1); b.setAttribute("v", &inner2); }, 0},
        {[&] { inner2.setAttribute("deep", &two); b.setAttribute("v", &inner2); }, 1}};
    for (std::size_t i = 0; i < sizeof steps / sizeof steps[0]; ++i) {
        steps[i].first();
        EXPECT_EQ(a == b, steps[i].second) << "step " << i;
    }
    // A stored clone keeps its validity; the base has no elements.
    Element bad("bad");
    bad.setValid(false);
    EXPECT_TRUE(a.IsValid());
    a.setAttribute("ok", &bad);
    EXPECT_FALSE(a.IsValid());
    EXPECT_FALSE(one.HasElement(""));
    EXPECT_TRUE(one.IsValid());
}
