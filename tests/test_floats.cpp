// real and decimal: parsing, both written forms with the stream's default six significant
// digits, copies, and the operator set.
#include "support/test_element.h"
#include "support/value_forms.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <sstream>
#include <typeinfo>
#include <utility>

using namespace Ostrel;
using ostrel_test::attributeOf;
using ostrel_test::attributeText;
using ostrel_test::Attributed;
using ostrel_test::elementOf;
using ostrel_test::elementText;

namespace {

template <class T>
class FloatingValue : public ::testing::Test {
protected:
    static T tagged(double value, const char* tag = "x") {
        T t(value);
        t.SetTag(tag);
        return t;
    }
    static double parsed(const char* text) {
        T t(99.0);
        EXPECT_TRUE(t.SetValueFromString(text)) << text;
        return t;
    }
    static std::string written(double value) {
        T t = tagged(value);
        return elementText(elementOf(t), "x");
    }
};

// Mantissa and exponent of a number written in scientific notation ("", 0 when it is not).
std::pair<std::string, int> scientific(const std::string& text) {
    const auto e = text.find('e');
    if (e == std::string::npos || e + 2 >= text.size() ||
        (text[e + 1] != '+' && text[e + 1] != '-'))
        return {"", 0};
    return {text.substr(0, e), std::atoi(text.c_str() + e + 1)};
}

using FloatingClasses = ::testing::Types<real, decimal>;
TYPED_TEST_SUITE(FloatingValue, FloatingClasses);

// The operators exactly as declared, const-qualified results included; a mismatch does not
// compile.
template <class T>
constexpr bool hasDeclaredOperators() {
    OSTREL_CONST_RETURN_BEGIN
    using Arithmetic = const double (T::*)(double) const;
    using Comparison = const int (T::*)(double) const;
    OSTREL_CONST_RETURN_END
    using Compound = T& (T::*)(double);
    Arithmetic arithmetic[] = {&T::operator+, &T::operator-, &T::operator*, &T::operator/};
    Comparison comparison[] = {&T::operator==, &T::operator!=, &T::operator<,
                               &T::operator<=, &T::operator>,  &T::operator>=};
    Compound compound[] = {&T::operator=, &T::operator+=, &T::operator-=, &T::operator*=,
                           &T::operator/=};
    OSTREL_CONST_RETURN_BEGIN
    const double (T::*logicalAnd)(double) = &T::operator&&;
    const double (T::*logicalNot)() const = &T::operator!;
    OSTREL_CONST_RETURN_END
    T& (T::*assign)(const T&) = &T::operator=;
    double (T::*conversion)() const = &T::operator double;
    (void)arithmetic, (void)comparison, (void)compound, (void)logicalAnd, (void)logicalNot;
    (void)assign, (void)conversion;
    return true;
}
static_assert(hasDeclaredOperators<real>() && hasDeclaredOperators<decimal>(),
              "the declared operator set");

} // namespace

TYPED_TEST(FloatingValue, Construction) {
    TypeParam fresh;
    EXPECT_EQ(double(fresh), 0.0);
    EXPECT_EQ(fresh.GetTag(), "");
    EXPECT_FALSE(fresh.HasAttribute("any"));
    EXPECT_EQ(double(TypeParam(-2.5)), -2.5);
}

TYPED_TEST(FloatingValue, ParsesLeniently) {
    EXPECT_EQ(this->parsed("  2.5e3xyz"), 2500.0);
    EXPECT_EQ(this->parsed("-.5"), -0.5);
    EXPECT_EQ(this->parsed("+1E-2"), 0.01);
    EXPECT_EQ(this->parsed("7."), 7.0);
    EXPECT_EQ(this->parsed("abc"), 0.0);
    EXPECT_EQ(this->parsed(""), 0.0);
    EXPECT_EQ(this->parsed("1,5"), 1.0);
    TypeParam t(3.0);
    EXPECT_FALSE(t.SetValueFromString(nullptr));
    EXPECT_EQ(double(t), 3.0);
}

// Where atof is undefined (a result it cannot represent) the parse is defined.
TYPED_TEST(FloatingValue, OutOfRangeTextIsDefined) {
    EXPECT_EQ(this->parsed("1e999"), HUGE_VAL);
    EXPECT_EQ(this->parsed("-1e999"), -HUGE_VAL);
    EXPECT_EQ(this->parsed("1e-999"), 0.0);
}

TYPED_TEST(FloatingValue, SixSignificantDigitsByDefault) {
    EXPECT_EQ(this->written(3.14159265), "3.14159");
    EXPECT_EQ(this->written(0.5), "0.5");
    EXPECT_EQ(this->written(100.0), "100");
    EXPECT_EQ(this->written(123456.0), "123456");
    EXPECT_EQ(this->written(0.0001), "0.0001");
    EXPECT_EQ(this->written(-2.0), "-2");
    // Outside exponents -4 to 5, scientific; the exponent's digit count is the platform's.
    EXPECT_EQ(scientific(this->written(1234567.0)), std::make_pair(std::string("1.23457"), 6));
    EXPECT_EQ(scientific(this->written(0.00001)), std::make_pair(std::string("1"), -5));
    EXPECT_EQ(scientific(this->written(-2.5e-300)), std::make_pair(std::string("-2.5"), -300));
}

TYPED_TEST(FloatingValue, ElementAndAttributeForms) {
    TypeParam pi = this->tagged(3.14159265, "pi");
    EXPECT_EQ(elementOf(pi, 1), "\t<pi>3.14159</pi>\n");
    TypeParam ratio = this->tagged(0.5, "ratio");
    EXPECT_EQ(attributeOf(ratio), " ratio='0.5'");
    ostrel_test::Element e("e");
    e.setAttribute("r", &ratio);
    std::ostringstream os;
    e.EmitAttributes(os);
    EXPECT_EQ(os.str(), " r='0.5'");
}

TYPED_TEST(FloatingValue, ElementFormLeavesOutTheAttributes) {
    Attributed<TypeParam> t(1.5);
    t.SetTag("x");
    real unit(1.0);
    t.setAttribute("unit", &unit);
    EXPECT_EQ(elementOf(t), "<x>1.5</x>\n");
}

TYPED_TEST(FloatingValue, WritesWithTheStreamsOwnSettings) {
    TypeParam t = this->tagged(3.14159265);
    std::ostringstream os;
    os.precision(9);
    os << std::fixed;
    const auto flags = os.flags();
    t.EmitXML(os, 0);
    t.EmitAsAttribute(os);
    EXPECT_EQ(os.str(), "<x>3.141592650</x>\n x='3.141592650'");
    EXPECT_EQ(os.flags(), flags);
    EXPECT_EQ(os.precision(), 9);
}

// What comes back is the value rounded to the six digits that were written.
TYPED_TEST(FloatingValue, RoundTripsThroughBothForms) {
    const struct {
        double value, readBack;
    } cases[] = {{0.0, 0.0},           {-2.5, -2.5},          {0.0001, 0.0001},
                 {123456.0, 123456.0}, {1e-05, 1e-05},        {3.14159265, 3.14159},
                 {1234567.0, 1234570.0}, {-0.000123456789, -0.000123457}, {1e300, 1e300}};
    for (const auto& c : cases) {
        TypeParam written = this->tagged(c.value, "v");
        TypeParam fromElement, fromAttribute;
        EXPECT_TRUE(fromElement.SetValueFromString(elementText(elementOf(written), "v").c_str()));
        EXPECT_TRUE(
            fromAttribute.SetValueFromString(attributeText(attributeOf(written), "v").c_str()));
        EXPECT_EQ(double(fromElement), c.readBack) << c.value;
        EXPECT_EQ(double(fromAttribute), c.readBack) << c.value;
    }
}

TYPED_TEST(FloatingValue, AssignmentCopiesTheValueOnly) {
    Attributed<TypeParam> a(1.0), b(2.0);
    a.SetTag("ta");
    b.SetTag("tb");
    real marker(0.0);
    a.setAttribute("mine", &marker);
    b.setAttribute("theirs", &marker);
    TypeParam& result = (a = b);
    EXPECT_EQ(&result, &a);
    EXPECT_EQ(double(a), 2.0);
    EXPECT_EQ(a.GetTag(), "ta");
    EXPECT_TRUE(a.HasAttribute("mine"));
    EXPECT_FALSE(a.HasAttribute("theirs"));
    EXPECT_EQ(&(a = 4.5), &a);
    EXPECT_EQ(double(a), 4.5);
}

TYPED_TEST(FloatingValue, CopyAndCloneTakeTagAttributesAndValue) {
    Attributed<TypeParam> b(2.0);
    b.SetTag("tb");
    real marker(0.0);
    b.setAttribute("theirs", &marker);
    TypeParam c(b);
    EXPECT_EQ(double(c), 2.0);
    EXPECT_EQ(c.GetTag(), "tb");
    EXPECT_TRUE(c.HasAttribute("theirs"));
    std::unique_ptr<XObject> copy(c.clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(typeid(*copy), typeid(TypeParam));
    auto& typed = static_cast<TypeParam&>(*copy);
    EXPECT_EQ(double(typed), 2.0);
    EXPECT_EQ(typed.GetTag(), "tb");
    EXPECT_TRUE(typed.HasAttribute("theirs"));
}

TYPED_TEST(FloatingValue, Arithmetic) {
    TypeParam t(6.0);
    EXPECT_EQ(t + 1.5, 7.5);
    EXPECT_EQ(t - 1.5, 4.5);
    EXPECT_EQ(t * 1.5, 9.0);
    EXPECT_EQ(t / 4.0, 1.5);
    EXPECT_EQ(double(t), 6.0);
    EXPECT_EQ(TypeParam(1.0) / 0.0, HUGE_VAL);
    EXPECT_TRUE(std::isnan(TypeParam(0.0) / 0.0));
    EXPECT_EQ(TypeParam(1e308) * 10.0, HUGE_VAL);
    EXPECT_EQ(&(t += 1.0), &t);
    EXPECT_EQ(double(t), 7.0);
    t -= 3.0;
    EXPECT_EQ(double(t), 4.0);
    t *= 2.5;
    EXPECT_EQ(double(t), 10.0);
    t /= 4.0;
    EXPECT_EQ(double(t), 2.5);
    t /= 0.0;
    EXPECT_EQ(double(t), HUGE_VAL);
}

TYPED_TEST(FloatingValue, LogicYieldsOneOrZeroAsDouble) {
    TypeParam zero(0.0), negativeZero(-0.0), value(-3.5);
    EXPECT_EQ(value && 2.0, 1.0);
    EXPECT_EQ(value && 0.0, 0.0);
    EXPECT_EQ(zero && 2.0, 0.0);
    EXPECT_EQ(!zero, 1.0);
    EXPECT_EQ(!negativeZero, 1.0);
    EXPECT_EQ(!value, 0.0);
    EXPECT_EQ(!TypeParam(1e-300), 0.0);
}

TYPED_TEST(FloatingValue, ComparisonsYieldIntegers) {
    TypeParam t(1.5);
    static_assert(std::is_same<decltype(t == 1.5), int>::value, "an int");
    static_assert(std::is_same<decltype(t < 1.5), int>::value, "an int");
    EXPECT_EQ(t == 1.5, 1);
    EXPECT_EQ(t != 1.5, 0);
    EXPECT_EQ(t < 2.0, 1);
    EXPECT_EQ(t <= 1.5, 1);
    EXPECT_EQ(t > 1.5, 0);
    EXPECT_EQ(t >= 2.0, 0);
    EXPECT_EQ(TypeParam(-0.0) == 0.0, 1);
}

// NaN: unequal to everything, non-zero for the logic operators.
TYPED_TEST(FloatingValue, NotANumber) {
    TypeParam nan(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(nan == double(nan), 0);
    EXPECT_EQ(nan != double(nan), 1);
    EXPECT_EQ(nan < 0.0, 0);
    EXPECT_EQ(nan >= 0.0, 0);
    EXPECT_EQ(!nan, 0.0);
    EXPECT_EQ(nan && 1.0, 1.0);
}

TEST(FloatingValues, RealAndDecimalMixAsNumbers) {
    real r(1.5);
    decimal d(2.0);
    r.SetTag("r");
    d.SetTag("d");
    EXPECT_EQ(r + d, 3.5);
    EXPECT_EQ(d / r, 2.0 / 1.5);
    EXPECT_EQ(r < d, 1);
    EXPECT_EQ(r == real(1.5), 1); // values, not tags
    decimal big(1234567.0);
    big.SetTag("x");
    real same(1234567.0);
    same.SetTag("x");
    EXPECT_EQ(elementOf(big), elementOf(same));
}
