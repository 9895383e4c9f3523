// The element base: attributes, ownership, copying and comparison.
#include "support/test_element.h"

#include <gtest/gtest.h>

#include <functional>

using Ostrel::XException;
using ostrel_test::Element;
using ostrel_test::Unclonable;

namespace {

Ostrel::string text(const char* value) { return Ostrel::string(value); }

std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (XException& e) {
        return e.GetMsg();
    }
    return "";
}

} // namespace

TEST(XObjectAttributes, NullValueOnMissingNameCreatesNoMap) {
    Element e("a");
    e.setAttribute("x", nullptr);
    EXPECT_EQ(e.attributes(), nullptr);
    EXPECT_FALSE(e.HasAttribute("x"));
}

TEST(XObjectAttributes, StoredCopyTakesTheAttributeName) {
    Element e("a");
    Ostrel::string count("12");
    count.SetTag("count");
    e.setAttribute("size", &count);
    EXPECT_EQ(e.getAttribute("size")->GetTag(), "size");
    EXPECT_NE(e.getAttribute("size"), &count);
    EXPECT_EQ(count.GetTag(), "count");
}

TEST(XObjectAttributes, SettingTwiceKeepsOneEntry) {
    Element e("a");
    Ostrel::string first = text("1"), second = text("2");
    e.setAttribute("n", &first);
    e.setAttribute("n", &second);
    ASSERT_EQ(e.attributes()->size(), 1u);
    EXPECT_EQ(static_cast<const std::string&>(*dynamic_cast<const Ostrel::string*>(e.getAttribute("n"))),
              "2");
}

TEST(XObjectAttributes, SettingFromTheStoredValueIsSafe) {
    Element e("a");
    Ostrel::string v = text("keep");
    e.setAttribute("n", &v);
    e.setAttribute("n", e.getAttribute("n"));
    auto stored = dynamic_cast<const Ostrel::string*>(e.getAttribute("n"));
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(static_cast<const std::string&>(*stored), "keep");
}

TEST(XObjectAttributes, FailedCloneKeepsTheOldValue) {
    Element e("a");
    Ostrel::string v = text("old");
    e.setAttribute("n", &v);
    Unclonable bad;
    EXPECT_EQ(messageOf([&] { e.setAttribute("n", &bad); }),
              "Error: Unable to allocate memory for an attribute");
    auto stored = dynamic_cast<const Ostrel::string*>(e.getAttribute("n"));
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(static_cast<const std::string&>(*stored), "old");
}

TEST(XObjectAttributes, MissingAttributeThrowsNamingIt) {
    Element e("a");
    EXPECT_EQ(messageOf([&] { e.getAttribute("colour"); }),
              "Error: Attempt to retrieve non-existent attribute 'colour'");
    try {
        e.getAttribute("colour");
    } catch (XException& ex) {
        EXPECT_NE(ex.GetSourceFile().find("xobject"), std::string::npos);
        EXPECT_GT(ex.GetSourceLine(), 0);
    }
}

TEST(XObjectAttributes, RemovingTheLastAttributeKeepsAnEmptyMap) {
    Element e("a"), fresh("a");
    Ostrel::string v = text("1");
    e.setAttribute("x", &v);
    e.RemoveAttribute("x");
    e.RemoveAttribute("never-there");
    EXPECT_FALSE(e.HasAttribute("x"));
    ASSERT_NE(e.attributes(), nullptr);
    EXPECT_TRUE(e.attributes()->empty());
    EXPECT_EQ(e == fresh, 0);
    EXPECT_EQ(e != fresh, 1);
    e.freeAttributes();
    EXPECT_EQ(e.attributes(), nullptr);
    EXPECT_EQ(e == fresh, 1);
}

TEST(XObjectAttributes, NamesAreOrderedByBytes) {
    Element e("a");
    Ostrel::string v = text("");
    for (const char* name : {"idref", "a", "Z", "id"}) e.setAttribute(name, &v);
    std::string order;
    for (auto& entry : *e.attributes()) order += entry.first + ",";
    EXPECT_EQ(order, "Z,a,id,idref,");
}

TEST(XObjectCopy, AssignmentCopiesOnlyTheTag) {
    Element a("a"), b("b");
    Ostrel::string v = text("1");
    a.setAttribute("mine", &v);
    b.setAttribute("theirs", &v);
    a = b;
    EXPECT_EQ(a.GetTag(), "b");
    EXPECT_TRUE(a.HasAttribute("mine"));
    EXPECT_FALSE(a.HasAttribute("theirs"));
}

TEST(XObjectCopy, CopyConstructionIsDeep) {
    Element b("b");
    Ostrel::string v = text("1");
    b.setAttribute("x", &v);
    Element c(b);
    EXPECT_EQ(c.GetTag(), "b");
    ASSERT_TRUE(c.HasAttribute("x"));
    EXPECT_NE(c.getAttribute("x"), b.getAttribute("x"));
    b.RemoveAttribute("x");
    EXPECT_TRUE(c.HasAttribute("x"));  // the copy owns its own values
}

TEST(XObjectCopy, CopyOfObjectWithoutMapHasNoMap) {
    Element b("b");
    Element c(b);
    EXPECT_EQ(c.attributes(), nullptr);
}

TEST(XObjectCopy, CopyAttributesFromReplacesAndNullClears) {
    Element src("s"), dst("d");
    Ostrel::string v = text("1");
    src.setAttribute("n", &v);
    dst.setAttribute("old", &v);
    dst.copyAttributesFrom(src.attributes());
    EXPECT_FALSE(dst.HasAttribute("old"));
    EXPECT_TRUE(dst.HasAttribute("n"));
    dst.copyAttributesFrom(nullptr);
    EXPECT_EQ(dst.attributes(), nullptr);
}

TEST(XObjectCopy, FailedCopyThrowsAndLeaksNothing) {
    // The map's second value cannot be cloned: the copy fails part-way, and the
    // sanitizer build checks that the first clone and the map are released.
    Element src("s");
    Ostrel::string v = text("1");
    src.setAttribute("a", &v);
    (*src.attributes())["b"] = new Unclonable;
    EXPECT_EQ(messageOf([&] { Element copy(src); }),
              "Error: Unable to allocate memory for an attribute");
    Element dst("d");
    EXPECT_THROW(dst.copyAttributesFrom(src.attributes()), XException);
    ASSERT_NE(dst.attributes(), nullptr);  // what was copied stays, owned by dst
    EXPECT_TRUE(dst.HasAttribute("a"));
}

TEST(XObjectCompare, TextsAreNotCompared) {
    Ostrel::string a = text("one"), b = text("two");
    EXPECT_EQ(a == b, 1);
    EXPECT_EQ(a != b, 0);
    b.SetTag("other");
    EXPECT_EQ(a == b, 0);
    EXPECT_EQ(a != b, 1);
}

TEST(XObjectCompare, AttributesCompareByNameAndValueTagRecursively) {
    Element a("e"), b("e");
    Ostrel::string x = text("1"), y = text("2");
    a.setAttribute("n", &x);
    b.setAttribute("n", &y);
    EXPECT_EQ(a == b, 1);  // same names and tags, different contents
    b.setAttribute("m", &y);
    EXPECT_EQ(a == b, 0);  // different sizes
    a.setAttribute("o", &x);
    EXPECT_EQ(a == b, 0);  // same size, different names

    // Values that are themselves elements with attributes are compared one level deeper.
    Element inner1("i"), inner2("i");
    inner1.setAttribute("deep", &x);
    Element c("e"), d("e");
    c.setAttribute("v", &inner1);
    d.setAttribute("v", &inner2);
    EXPECT_EQ(c == d, 0);
    EXPECT_FALSE(c.hasEquivalentAttributes(d));
    inner2.setAttribute("deep", &y);
    d.setAttribute("v", &inner2);
    EXPECT_EQ(c == d, 1);
    EXPECT_EQ(c != d, 0);
}

TEST(XObjectValidity, AttributeValidity) {
    Element e("e");
    EXPECT_TRUE(e.hasValidAttributes());
    Element bad("bad");
    bad.setValid(false);
    e.setAttribute("ok", &bad);
    // The stored clone keeps the copied validity flag.
    EXPECT_FALSE(e.hasValidAttributes());
    EXPECT_FALSE(e.IsValid());
}

TEST(XObjectBase, NoElementsInTheBase) {
    Element e("e");
    EXPECT_FALSE(e.HasElement("anything"));
    e.RemoveElement("anything");
    Ostrel::XObject& base = e;
    Ostrel::string plain;
    EXPECT_FALSE(base.HasElement(""));
    EXPECT_FALSE(plain.HasElement("x"));
}

TEST(XObjectBase, CloneIsDeepAndTyped) {
    Element e("e");
    Ostrel::string v = text("1");
    e.setAttribute("n", &v);
    std::unique_ptr<Ostrel::XObject> copy(e.clone());
    ASSERT_NE(dynamic_cast<Element*>(copy.get()), nullptr);
    EXPECT_EQ(*copy == e, 1);
    EXPECT_TRUE(copy->HasAttribute("n"));
}
