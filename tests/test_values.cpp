// The eleven simple values: reading text and both written forms (the cases of
// data/values/cases.txt), what all of them share (copies, attributes). Copies running out
// of memory: test_xobject and reliability/test_alloc_injection. All of them write through
// the line writer, whose padding under a pending field width test_line_writer checks.
#include "support/case_file.h"
#include "support/test_element.h"

#include <gtest/gtest.h>

#include <memory>
#include <typeinfo>

using namespace Ostrel;
using ostrel_test::Attributed;
using ostrel_test::attributeOf;
using ostrel_test::elementOf;

namespace {

// Each class's name and its group in the case file, two values of it as text, its tag when
// new, and whether assignment takes the tag.
template <class T>
struct Sample;
#define OSTREL_SAMPLE(T, GROUP, A, B, NEW_TAG, ASSIGNS_TAG)                                        \
    template <> struct Sample<T> {                                                               \
        static constexpr const char *name = #T, *group = GROUP, *a = A, *b = B, *newTag = NEW_TAG; \
        static constexpr bool assignsTag = ASSIGNS_TAG;                                          \
    };
OSTREL_SAMPLE(string, "", "a", "b'c", "#PCDATA", true)
OSTREL_SAMPLE(NMTOKENS, "tokens", "x", "p q&r", "", true)
OSTREL_SAMPLE(IDREFS, "tokens", "x", "p q&r", "", true)
OSTREL_SAMPLE(boolean, "", "false", "true", "", false)
OSTREL_SAMPLE(integer, "signed", "5", "-9", "", false)
OSTREL_SAMPLE(non_negative_integer, "unsigned", "5", "9", "", false)
OSTREL_SAMPLE(positive_integer, "unsigned", "5", "9", "", false)
OSTREL_SAMPLE(non_positive_integer, "signed", "-5", "-9", "", false)
OSTREL_SAMPLE(negative_integer, "signed", "-5", "-9", "", false)
OSTREL_SAMPLE(real, "floating", "1.5", "-2.25", "", false)
OSTREL_SAMPLE(decimal, "floating", "1.5", "-2.25", "", false)
#undef OSTREL_SAMPLE

// Every name the case file may use, each between blanks.
const std::string kNames = " string NMTOKENS IDREFS boolean integer non_negative_integer positive_integer "
                           "non_positive_integer negative_integer real decimal signed unsigned floating tokens ";

// Element and attribute form of a value tagged "v" that writes content; "nothing" for none.
void expectWritten(XObject& value, const std::string& content) {
    const bool none = content == "nothing";
    EXPECT_EQ(elementOf(value, 2), none ? "" : "\t\t<v>" + content + "</v>\n");
    EXPECT_EQ(attributeOf(value), none ? "(false)" : " v='" + content + "'");
}

} // namespace

// --- what every value class shares -----------------------------------------------------------

namespace {

template <class T>
class EveryValue : public ::testing::Test {
protected:
    // A value read from text, tagged, with one attribute named after the tag.
    static void fill(Attributed<T>& value, const char* text, const char* tag) {
        EXPECT_TRUE(value.SetValueFromString(text));
        value.SetTag(tag);
        integer marker(1);
        value.setAttribute(std::string("of_") + tag, &marker);
    }
    // A new value tagged "v".
    static std::unique_ptr<T> make() {
        auto value = std::make_unique<T>();
        value->SetTag("v");
        return value;
    }
    // The value alone: its element form under the tag "v".
    static std::string valueOf(const XObject& value) {
        std::unique_ptr<XObject> copy(value.clone());
        copy->SetTag("v");
        return elementOf(*copy);
    }
};

using ValueClasses = ::testing::Types<Ostrel::string, NMTOKENS, IDREFS, boolean, integer, non_negative_integer,
                                      positive_integer, non_positive_integer, negative_integer, real, decimal>;
TYPED_TEST_SUITE(EveryValue, ValueClasses);

} // namespace

// The rows of data/values/cases.txt that name this class or its group, in order, on one value
// unless a row asks for a fresh one.
TYPED_TEST(EveryValue, ReadAndWrittenAsTheCaseFileSays) {
    using S = Sample<TypeParam>;
    std::unique_ptr<TypeParam> value;
    int cases = 0;
    for (const ostrel_test::Case& c : ostrel_test::readCases(OSTREL_VALUE_DATA "/cases.txt")) {
        SCOPED_TRACE(c.where);
        const auto& f = c.fields;
        const bool refused = f.size() == 4 && f[2].is("refused");
        ASSERT_EQ(f.size(), refused ? 4u : 3u);
        const bool fresh = f[1].is("fresh"), null = f[1].is("null");
        ASSERT_TRUE(f[1].quoted || fresh || null);
        bool mine = false;
        std::istringstream list(f[0].text);
        for (std::string name; std::getline(list, name, ',');) {
            ASSERT_NE(kNames.find(" " + name + " "), std::string::npos) << name;
            mine = mine || name == S::name || name == S::group;
        }
        if (!mine) continue;
        if (fresh || !value) value = this->make();
        if (!fresh) { EXPECT_EQ(value->SetValueFromString(null ? nullptr : f[1].text.c_str()), !refused); }
        ++cases;
        const std::string& written = f.back().text;
        if (written == "any") continue;
        expectWritten(*value, written);
        if (written == "nothing" || written.find('&') != std::string::npos) continue;
        auto readBack = this->make();
        EXPECT_TRUE(readBack->SetValueFromString(written.c_str()));
        expectWritten(*readBack, written);
    }
    EXPECT_GE(cases, 5);
}

TYPED_TEST(EveryValue, CopiesAssignmentsAndAttributes) {
    using S = Sample<TypeParam>;
    EXPECT_EQ(TypeParam().GetTag(), S::newTag);
    Attributed<TypeParam> a, b, plainB;
    this->fill(a, S::a, "ta");
    this->fill(b, S::b, "tb");
    plainB.SetValueFromString(S::b);
    const std::string valueB = this->valueOf(plainB);
    // Copies and clones take tag, attributes and value, deeply.
    TypeParam copy(b);
    std::unique_ptr<XObject> clone(b.clone());
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(typeid(*clone), typeid(TypeParam));
    for (XObject* c : {static_cast<XObject*>(&copy), clone.get()}) {
        EXPECT_EQ(c->GetTag(), "tb");
        EXPECT_TRUE(c->HasAttribute("of_tb"));
        EXPECT_EQ(this->valueOf(*c), valueB);
    }
    static_cast<TypeParam&>(*clone).SetValueFromString(S::a);
    EXPECT_EQ(this->valueOf(b), valueB);
    // Assignment takes the value but not the attributes.
    EXPECT_EQ(&(a = static_cast<const TypeParam&>(b)), &a);
    EXPECT_EQ(this->valueOf(a), valueB);
    EXPECT_EQ(a.GetTag(), S::assignsTag ? "tb" : "ta");
    EXPECT_TRUE(a.HasAttribute("of_ta"));
    EXPECT_FALSE(a.HasAttribute("of_tb"));
    a = static_cast<const TypeParam&>(a);
    EXPECT_EQ(this->valueOf(a), valueB);
    // A value's own attributes are not written. (As an element's attribute: test_xmloutput.)
    EXPECT_EQ((elementOf(b) + attributeOf(b)).find("of_tb"), std::string::npos);
}
