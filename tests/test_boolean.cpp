// The truth value: the two words it accepts, both written forms, copies and operators.
#include "support/test_element.h"
#include "support/value_forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <typeinfo>

using Ostrel::boolean;
using ostrel_test::attributeOf;
using ostrel_test::attributeText;
using ostrel_test::Attributed;
using ostrel_test::elementOf;
using ostrel_test::elementText;

namespace {
boolean tagged(bool value, const char* tag) {
    boolean b(value);
    b.SetTag(tag);
    return b;
}

// The operators exactly as declared; a mismatch does not compile.
OSTREL_CONST_RETURN_BEGIN
[[maybe_unused]] const bool (boolean::*const kNot)() const = &boolean::operator!;
[[maybe_unused]] const int (boolean::*const kEqual)(bool) const = &boolean::operator==;
[[maybe_unused]] const int (boolean::*const kUnequal)(bool) const = &boolean::operator!=;
OSTREL_CONST_RETURN_END
[[maybe_unused]] bool (boolean::*const kConversion)() const = &boolean::operator bool;
[[maybe_unused]] boolean& (boolean::*const kAssign)(const boolean&) = &boolean::operator=;
[[maybe_unused]] boolean& (boolean::*const kAssignValue)(bool) = &boolean::operator=;
} // namespace

TEST(BooleanConstruction, DefaultIsFalseWithAnEmptyTag) {
    boolean b;
    EXPECT_FALSE(b);
    EXPECT_EQ(b.GetTag(), "");
    EXPECT_FALSE(b.HasAttribute("any"));
    EXPECT_EQ(elementOf(b), "<>false</>\n");
    EXPECT_TRUE(bool(boolean(true)));
    EXPECT_FALSE(bool(boolean(false)));
}

TEST(BooleanParse, AcceptsExactlyTrueAndFalse) {
    boolean b;
    EXPECT_TRUE(b.SetValueFromString("true"));
    EXPECT_TRUE(b);
    EXPECT_TRUE(b.SetValueFromString("false"));
    EXPECT_FALSE(b);
}

TEST(BooleanParse, RefusesEverythingElseAndKeepsTheValue) {
    for (bool start : {true, false}) {
        boolean b(start);
        for (const char* text : {"TRUE", "True", "FALSE", "False", "", "1", "0", "yes", " true",
                                 "true ", "false ", "tru", "truex", "falsey"}) {
            EXPECT_FALSE(b.SetValueFromString(text)) << '"' << text << '"';
            EXPECT_EQ(bool(b), start) << '"' << text << '"';
        }
        EXPECT_FALSE(b.SetValueFromString(nullptr));
        EXPECT_EQ(bool(b), start);
    }
}

TEST(BooleanParse, StopsAtAnEmbeddedNul) {
    boolean b;
    const char text[] = "true\0junk";
    EXPECT_TRUE(b.SetValueFromString(text));
    EXPECT_TRUE(b);
}

TEST(BooleanOutput, ElementForm) {
    boolean visible = tagged(true, "visible");
    EXPECT_EQ(elementOf(visible, 1), "\t<visible>true</visible>\n");
    visible = false;
    EXPECT_EQ(elementOf(visible, 0), "<visible>false</visible>\n");
    // No character-data form: a '#' tag is written like any other.
    boolean hashed = tagged(true, "#PCDATA");
    EXPECT_EQ(elementOf(hashed), "<#PCDATA>true</#PCDATA>\n");
}

TEST(BooleanOutput, ElementFormLeavesOutTheAttributes) {
    Attributed<boolean> b(true);
    b.SetTag("flag");
    boolean extra(false);
    b.setAttribute("extra", &extra);
    EXPECT_EQ(elementOf(b), "<flag>true</flag>\n");
}

TEST(BooleanOutput, AttributeForm) {
    boolean visible = tagged(false, "visible");
    EXPECT_EQ(attributeOf(visible), " visible='false'");
    boolean nameless(true);
    EXPECT_EQ(attributeOf(nameless), " ='true'");
    ostrel_test::Element e("e");
    e.setAttribute("on", &visible);
    e.setAttribute("checked", &nameless);
    std::ostringstream os;
    e.EmitAttributes(os);
    EXPECT_EQ(os.str(), " checked='true' on='false'");
}

TEST(BooleanOutput, RoundTripsThroughBothForms) {
    for (bool value : {true, false}) {
        boolean written = tagged(value, "b");
        boolean fromElement(!value), fromAttribute(!value);
        EXPECT_TRUE(fromElement.SetValueFromString(elementText(elementOf(written), "b").c_str()));
        EXPECT_TRUE(
            fromAttribute.SetValueFromString(attributeText(attributeOf(written), "b").c_str()));
        EXPECT_EQ(bool(fromElement), value);
        EXPECT_EQ(bool(fromAttribute), value);
    }
}

TEST(BooleanCopy, AssignmentCopiesTheValueOnly) {
    Attributed<boolean> a(false), b(true);
    a.SetTag("ta");
    b.SetTag("tb");
    boolean marker;
    a.setAttribute("mine", &marker);
    b.setAttribute("theirs", &marker);
    boolean& result = (a = b);
    EXPECT_EQ(&result, &a);
    EXPECT_TRUE(a);
    EXPECT_EQ(a.GetTag(), "ta");
    EXPECT_TRUE(a.HasAttribute("mine"));
    EXPECT_FALSE(a.HasAttribute("theirs"));
    EXPECT_EQ(&(a = false), &a);
    EXPECT_FALSE(a);
}

TEST(BooleanCopy, CopyAndCloneTakeTagAttributesAndValue) {
    Attributed<boolean> b(true);
    b.SetTag("tb");
    boolean marker;
    b.setAttribute("theirs", &marker);
    boolean c(b);
    EXPECT_TRUE(c);
    EXPECT_EQ(c.GetTag(), "tb");
    EXPECT_TRUE(c.HasAttribute("theirs"));
    std::unique_ptr<Ostrel::XObject> copy(c.clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(typeid(*copy), typeid(boolean));
    auto& typed = static_cast<boolean&>(*copy);
    EXPECT_TRUE(typed);
    EXPECT_EQ(typed.GetTag(), "tb");
    EXPECT_TRUE(typed.HasAttribute("theirs"));
}

TEST(BooleanOperators, NegationAndComparisons) {
    const boolean yes(true), no(false);
    EXPECT_TRUE(!no);
    EXPECT_FALSE(!yes);
    EXPECT_EQ(yes == true, 1);
    EXPECT_EQ(yes != true, 0);
    EXPECT_EQ(no == true, 0);
    EXPECT_EQ(no != true, 1);
    static_assert(std::is_same<decltype(yes == true), int>::value, "an int");
    static_assert(std::is_same<decltype(!yes), bool>::value, "a bool");
}

TEST(BooleanOperators, ObjectsCompareByValueNotByTag) {
    boolean a = tagged(true, "a"), b = tagged(true, "b"), c = tagged(false, "a");
    EXPECT_EQ(a == b, 1);
    EXPECT_EQ(a != c, 1);
    EXPECT_EQ(a == c, 0);
}
