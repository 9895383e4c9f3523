// What the ten simple values beyond text share: distinct classes on XObject, and copies
// that report running out of memory.
#include "support/failing_alloc.h"
#include "support/value_forms.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <type_traits>

using namespace Ostrel;
using ostrel_test::Attributed;
using ostrel_test::failNthNothrowAllocation;

namespace {

template <class... Ts>
struct ClassList {};

template <class T, class... Us>
constexpr bool derivesFromNoneOf(ClassList<Us...>) {
    return ((std::is_same<T, Us>::value || !std::is_base_of<Us, T>::value) && ...);
}
template <class... Ts>
constexpr bool noneDerivesFromAnother(ClassList<Ts...> all) {
    return (derivesFromNoneOf<Ts>(all) && ...);
}
template <class... Ts>
constexpr bool allArePublicXObjects(ClassList<Ts...>) {
    return ((std::is_convertible<Ts*, XObject*>::value && std::is_polymorphic<Ts>::value) && ...);
}

using EveryValueClass =
    ClassList<Ostrel::string, NMTOKENS, IDREFS, boolean, integer, non_negative_integer,
              positive_integer, non_positive_integer, negative_integer, real, decimal>;
static_assert(noneDerivesFromAnother(EveryValueClass{}), "no value class derives from another");
static_assert(allArePublicXObjects(EveryValueClass{}), "every value class is an XObject");

// The operator bases add nothing but operations: an integer is an XObject and its value.
static_assert(std::is_empty<IntegerOperators<integer, int>>::value &&
                  std::is_empty<IntegerOperators<positive_integer, unsigned int>>::value &&
                  std::is_empty<RealOperators<real>>::value,
              "operations only");
template <class V>
struct OneMember : XObject {
    bool EmitXML(std::ostream&, int) override { return true; }
    XObject* clone() const override { return nullptr; }
    V m_value;
};
static_assert(sizeof(integer) == sizeof(OneMember<int>) &&
                  sizeof(non_negative_integer) == sizeof(OneMember<unsigned int>) &&
                  sizeof(real) == sizeof(OneMember<double>) &&
                  sizeof(decimal) == sizeof(OneMember<double>),
              "XObject and m_value only");

template <class T>
class SimpleValue : public ::testing::Test {
protected:
    void TearDown() override { failNthNothrowAllocation(0); }

    // A value with two attributes, so a copy makes a map and two clones.
    static void withTwoAttributes(Attributed<T>& value) {
        value.SetTag("v");
        integer one(1);
        value.setAttribute("a", &one);
        value.setAttribute("b", &one);
    }
    template <class Action>
    static std::string messageOf(Action action) {
        try {
            action();
        } catch (const XException& e) {
            failNthNothrowAllocation(0);
            return e.GetMsg();
        }
        failNthNothrowAllocation(0);
        return "(nothing thrown)";
    }
};

using ValueClasses = ::testing::Types<NMTOKENS, IDREFS, boolean, integer, non_negative_integer,
                                      positive_integer, non_positive_integer, negative_integer,
                                      real, decimal>;
TYPED_TEST_SUITE(SimpleValue, ValueClasses);

const char* const kMapMessage = "Error: Unable to allocate memory for an attributes map";
const char* const kAttributeMessage = "Error: Unable to allocate memory for an attribute";

} // namespace

TYPED_TEST(SimpleValue, CloneIsNullWhenTheObjectCannotBeAllocated) {
    TypeParam value;
    failNthNothrowAllocation(1);
    XObject* copy = value.clone();
    failNthNothrowAllocation(0);
    EXPECT_EQ(copy, nullptr);
    delete copy;
}

TYPED_TEST(SimpleValue, CopyReportsEachFailedAllocation) {
    Attributed<TypeParam> value;
    this->withTwoAttributes(value);
    // Copy construction: the map, then one clone per attribute.
    const char* expected[] = {kMapMessage, kAttributeMessage, kAttributeMessage};
    for (int n = 1; n <= 3; ++n) {
        failNthNothrowAllocation(n);
        EXPECT_EQ(this->messageOf([&] { TypeParam copy(value); }), expected[n - 1]) << n;
    }
    // clone: the object first, then the same three.
    for (int n = 2; n <= 4; ++n) {
        failNthNothrowAllocation(n);
        EXPECT_EQ(this->messageOf([&] { delete value.clone(); }), expected[n - 2]) << n;
    }
    std::unique_ptr<XObject> copy(value.clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->HasAttribute("a") && copy->HasAttribute("b"));
}

TEST(SimpleValues, TokenListCopyReportsAFailedTokenAttribute) {
    struct AttributedString : Ostrel::string {
        using Ostrel::string::string;
        using XObject::setAttribute;
    } token("t");
    Ostrel::string note("n");
    token.setAttribute("note", &note);
    IDREFS refs;
    refs.push_back(token);
    failNthNothrowAllocation(2); // the token's map, then its attribute
    std::string message;
    try {
        IDREFS copy(refs);
    } catch (const XException& e) {
        message = e.GetMsg();
    }
    failNthNothrowAllocation(0);
    EXPECT_EQ(message, kAttributeMessage);
}
