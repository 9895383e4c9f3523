// The element base: owned attributes, copies, comparison, and running out of memory.
#include "support/failing_alloc.h"
#include "support/test_element.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

using ostrel_test::Element;
using ostrel_test::failNthNothrowAllocation;
using ostrel_test::messageOf;
using ostrel_test::Unclonable;

namespace {

const char* const kAttributeMessage = "Error: Unable to allocate memory for an attribute";
const char* const kMapMessage = "Error: Unable to allocate memory for an attributes map";

// The text of the string stored under name, "(none)" without one.
std::string textOf(Element& e, const char* name) {
    if (!e.HasAttribute(name)) return "(none)";
    const auto* value = dynamic_cast<const Ostrel::string*>(e.getAttribute(name));
    return value ? std::string(*value) : "(not a string)";
}

// The names of the attributes in map order, each followed by ','.
std::string namesOf(Element& e) {
    std::string names;
    if (e.attributes())
        for (auto& entry : *e.attributes()) names += entry.first + ",";
    return names;
}

} // namespace

TEST(XObjectAttributes, SetReplaceRemove) {
    Element e("a");
    e.setAttribute("x", nullptr);  // a null value removes; no map is made for it
    EXPECT_EQ(e.attributes(), nullptr);
    Ostrel::string first("1"), second("2");
    first.SetTag("count");
    e.setAttribute("size", &first);
    EXPECT_EQ(e.getAttribute("size")->GetTag(), "size");  // a copy, tagged with the name
    EXPECT_NE(e.getAttribute("size"), &first);
    EXPECT_EQ(first.GetTag(), "count");
    e.setAttribute("size", &second);
    e.setAttribute("size", e.getAttribute("size"));  // from the stored value itself
    EXPECT_EQ(textOf(e, "size"), "2");
    for (const char* name : {"idref", "a", "Z", "id"}) e.setAttribute(name, &first);
    EXPECT_EQ(namesOf(e), "Z,a,id,idref,size,");  // byte order
    e.setAttribute("a", nullptr);
    e.RemoveAttribute("never-there");
    EXPECT_EQ(namesOf(e), "Z,id,idref,size,");
    for (const char* name : {"Z", "id", "idref", "size"}) e.RemoveAttribute(name);
    ASSERT_NE(e.attributes(), nullptr);  // the map stays, empty
    EXPECT_FALSE(e.HasAttribute("size"));
    e.freeAttributes();
    EXPECT_EQ(e.attributes(), nullptr);
}

TEST(XObjectAttributes, MissingAttributeThrowsNamingIt) {
    Element e("a");
    try {
        e.getAttribute("colour");
        ADD_FAILURE() << "no exception";
    } catch (Ostrel::XException& ex) {
        EXPECT_EQ(ex.GetMsg(), "Error: Attempt to retrieve non-existent attribute 'colour'");
        EXPECT_NE(ex.GetSourceFile().find("xobject"), std::string::npos);
        EXPECT_GT(ex.GetSourceLine(), 0);
    }
}

TEST(XObjectAttributes, FailedCloneOrMapKeepsWhatWasThere) {
    Element e("e");
    Ostrel::string v("old"), w("new");
    failNthNothrowAllocation(2);  // the clone comes first, then the map
    EXPECT_EQ(messageOf([&] { e.setAttribute("n", &v); }), kMapMessage);
    failNthNothrowAllocation(0);
    EXPECT_EQ(e.attributes(), nullptr);
    e.setAttribute("n", &v);
    Unclonable bad;
    EXPECT_EQ(messageOf([&] { e.setAttribute("n", &bad); }), kAttributeMessage);
    failNthNothrowAllocation(1);
    EXPECT_EQ(messageOf([&] { e.setAttribute("n", &w); }), kAttributeMessage);
    failNthNothrowAllocation(0);
    EXPECT_EQ(textOf(e, "n"), "old");
}

TEST(XObjectCopy, AssignmentTakesTheTagOnlyCopiesTakeEverything) {
    Element a("a"), b("b");
    Ostrel::string v("1");
    a.setAttribute("mine", &v);
    b.setAttribute("theirs", &v);
    a = b;
    EXPECT_EQ(a.GetTag(), "b");
    EXPECT_EQ(namesOf(a), "mine,");
    Element c(b);
    EXPECT_EQ(c.GetTag(), "b");
    EXPECT_NE(c.getAttribute("theirs"), b.getAttribute("theirs"));
    b.RemoveAttribute("theirs");
    EXPECT_EQ(textOf(c, "theirs"), "1");  // the copy owns its own values
    std::unique_ptr<Ostrel::XObject> clone(c.clone());
    ASSERT_NE(dynamic_cast<Element*>(clone.get()), nullptr);
    EXPECT_EQ(*clone == c, 1);
    c.copyAttributesFrom(a.attributes());
    EXPECT_EQ(namesOf(c), "mine,");
    c.copyAttributesFrom(nullptr);
    EXPECT_EQ(c.attributes(), nullptr);
}

// (Copies failing at each allocation: test_values, for every value class.)
TEST(XObjectCopy, FailedCopyOfAttributesKeepsWhatWasCopied) {
    Element src("s");
    Ostrel::string v("1");
    for (const char* name : {"a", "b", "c"}) src.setAttribute(name, &v);
    (*src.attributes())["d"] = new Unclonable;
    Element dst("d");
    EXPECT_EQ(messageOf([&] { dst.copyAttributesFrom(src.attributes()); }), kAttributeMessage);
    EXPECT_EQ(namesOf(dst), "a,b,c,");  // what was copied stays, owned by dst
}

// Tags, attribute names and the tags of their values count, not texts; values that are
// elements with attributes are compared one level deeper.
TEST(XObjectCompare, TagsAndAttributeNamesAndValueTagsNotTexts) {
    Ostrel::string one("one"), two("two"), other("two");
    other.SetTag("other");
    EXPECT_EQ(one == two, 1);
    EXPECT_EQ(one != two, 0);
    EXPECT_EQ(one == other, 0);
    EXPECT_EQ(one != other, 1);
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
}

TEST(XObjectBase, ValidityAndNoElements) {
    Element e("e"), bad("bad");
    EXPECT_TRUE(e.hasValidAttributes());
    bad.setValid(false);
    e.setAttribute("ok", &bad);  // the stored clone keeps the validity
    EXPECT_FALSE(e.hasValidAttributes());
    EXPECT_FALSE(e.IsValid());
    EXPECT_FALSE(e.HasElement("anything"));
    e.RemoveElement("anything");
    Ostrel::string plain;
    EXPECT_FALSE(plain.HasElement(""));
    EXPECT_TRUE(plain.IsValid());
}
