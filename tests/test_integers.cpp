// The five integer values: parsing, both written forms, copies, and the operator set with
// its wrap-around and signedness.
#include "support/test_element.h"
#include "support/value_forms.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <type_traits>
#include <typeinfo>

using namespace Ostrel;
using ostrel_test::attributeOf;
using ostrel_test::attributeText;
using ostrel_test::Attributed;
using ostrel_test::elementOf;
using ostrel_test::elementText;

namespace {

template <class T>
struct Traits;
template <>
struct Traits<integer> {
    using V = int;
    static constexpr V kDefault = 0;
};
template <>
struct Traits<non_negative_integer> {
    using V = unsigned int;
    static constexpr V kDefault = 0;
};
template <>
struct Traits<positive_integer> {
    using V = unsigned int;
    static constexpr V kDefault = 1;
};
template <>
struct Traits<non_positive_integer> {
    using V = int;
    static constexpr V kDefault = 0;
};
template <>
struct Traits<negative_integer> {
    using V = int;
    static constexpr V kDefault = -1;
};

template <class T>
class IntegerValue : public ::testing::Test {
protected:
    using V = typename Traits<T>::V;
    static constexpr bool kSigned = std::is_signed<V>::value;
    static constexpr V kMin = std::numeric_limits<V>::min();
    static constexpr V kMax = std::numeric_limits<V>::max();

    static T tagged(V value, const char* tag = "count") {
        T t(value);
        t.SetTag(tag);
        return t;
    }
    static V parsed(const char* text) {
        T t;
        EXPECT_TRUE(t.SetValueFromString(text)) << text;
        return t;
    }
    // What the conversion routine the class is named after gives, where it is defined.
    static V reference(const char* text) {
        if constexpr (kSigned) return std::atoi(text);
        return static_cast<V>(std::strtoul(text, nullptr, 10));
    }
    static std::string messageOf(void (*action)(T&), T& value) {
        try {
            action(value);
        } catch (const XException& e) {
            return e.GetMsg();
        }
        return "(nothing thrown)";
    }
};

using IntegerClasses = ::testing::Types<integer, non_negative_integer, positive_integer,
                                        non_positive_integer, negative_integer>;
TYPED_TEST_SUITE(IntegerValue, IntegerClasses);

} // namespace

// The operators exactly as declared, const-qualified results included; a mismatch does not
// compile.
template <class T, class V = typename Traits<T>::V>
constexpr bool hasDeclaredOperators() {
    OSTREL_CONST_RETURN_BEGIN
    using ConstBinary = const V (T::*)(V) const;
    using MutableBinary = const V (T::*)(V);
    using ConstUnary = const V (T::*)() const;
    OSTREL_CONST_RETURN_END
    using Compound = T& (T::*)(V);
    ConstBinary constBinary[] = {&T::operator+,  &T::operator-,  &T::operator*, &T::operator/,
                                 &T::operator%,  &T::operator&,  &T::operator|, &T::operator^,
                                 &T::operator==, &T::operator!=, &T::operator<, &T::operator<=,
                                 &T::operator>,  &T::operator>=};
    MutableBinary mutableBinary[] = {&T::operator&&, &T::operator<<, &T::operator>>};
    ConstUnary unary[] = {&T::operator~, &T::operator!};
    Compound compound[] = {&T::operator=,  &T::operator+=,  &T::operator-=, &T::operator*=,
                           &T::operator/=, &T::operator%=,  &T::operator&=, &T::operator|=,
                           &T::operator^=, &T::operator<<=, &T::operator>>=};
    T& (T::*assign)(const T&) = &T::operator=;
    V& (T::*preIncrement)() = &T::operator++;
    V& (T::*preDecrement)() = &T::operator--;
    V (T::*postIncrement)(int) = &T::operator++;
    V (T::*postDecrement)(int) = &T::operator--;
    V (T::*conversion)() const = &T::operator V;
    (void)constBinary, (void)mutableBinary, (void)unary, (void)compound, (void)assign;
    (void)preIncrement, (void)preDecrement, (void)postIncrement, (void)postDecrement;
    (void)conversion;
    return true;
}
static_assert(hasDeclaredOperators<integer>() && hasDeclaredOperators<non_negative_integer>() &&
                  hasDeclaredOperators<positive_integer>() &&
                  hasDeclaredOperators<non_positive_integer>() &&
                  hasDeclaredOperators<negative_integer>(),
              "the declared operator set");

// --- construction ------------------------------------------------------------

TYPED_TEST(IntegerValue, DefaultAndValueConstruction) {
    using V = typename TestFixture::V;
    TypeParam fresh;
    EXPECT_EQ(V(fresh), Traits<TypeParam>::kDefault);
    EXPECT_EQ(fresh.GetTag(), "");
    EXPECT_FALSE(fresh.HasAttribute("any"));
    // No range test: every class holds any value of its type.
    for (V v : {TestFixture::kMin, V(0), V(1), V(17), TestFixture::kMax})
        EXPECT_EQ(V(TypeParam(v)), v);
}

// --- parsing -------------------------------------------------------------------

TYPED_TEST(IntegerValue, ParsesLeniently) {
    using V = typename TestFixture::V;
    EXPECT_EQ(this->parsed("  42abc"), V(42));
    EXPECT_EQ(this->parsed("+17"), V(17));
    EXPECT_EQ(this->parsed("abc"), V(0));
    EXPECT_EQ(this->parsed("0x1A"), V(0));
    EXPECT_EQ(this->parsed(""), V(0));
    EXPECT_EQ(this->parsed("007"), V(7));
    // The unsigned classes read a minus sign the way strtoul does: -1 is the maximum.
    EXPECT_EQ(this->parsed("-1"), static_cast<V>(-1));
    EXPECT_EQ(this->parsed("-2147483648"), static_cast<V>(INT_MIN));
}

TYPED_TEST(IntegerValue, NullTextIsRefusedAndKeepsTheValue) {
    using V = typename TestFixture::V;
    TypeParam t(V(5));
    EXPECT_FALSE(t.SetValueFromString(nullptr));
    EXPECT_EQ(V(t), V(5));
}

TYPED_TEST(IntegerValue, AgreesWithItsConversionRoutineInRange) {
    for (const char* text : {"0", "1", "-1", "2147483647", "-2147483648", "  -12x", "\t 99 ",
                             "+0", "-0", "12e3", " - 5", "1 2"})
        EXPECT_EQ(this->parsed(text), this->reference(text)) << text;
    if constexpr (!TestFixture::kSigned) {
        for (const char* text : {"4294967295", "3000000000", "-4294967295"})
            EXPECT_EQ(this->parsed(text), this->reference(text)) << text;
    }
}

// Where atoi is undefined the parse is defined: it keeps the low 32 bits.
TYPED_TEST(IntegerValue, OutOfRangeTextKeepsTheLow32Bits) {
    using V = typename TestFixture::V;
    EXPECT_EQ(this->parsed("4294967296"), V(0));
    EXPECT_EQ(this->parsed("4294967297"), V(1));
    EXPECT_EQ(this->parsed("4294967295"), static_cast<V>(UINT_MAX));
    EXPECT_EQ(this->parsed("2147483648"), static_cast<V>(2147483648u));
    // Beyond every conversion's range: any value, but a defined one and true.
    for (const char* text : {"99999999999999999999999", "-99999999999999999999999",
                             "18446744073709551616", "-9223372036854775809"})
        this->parsed(text);
}

TEST(IntegerParse, RangeClassesHoldWhatTheTextSays) {
    negative_integer n;
    EXPECT_TRUE(n.SetValueFromString("17"));
    EXPECT_EQ(static_cast<int>(n), 17);
    EXPECT_TRUE(n.IsValid());
    positive_integer p;
    EXPECT_TRUE(p.SetValueFromString("0"));
    EXPECT_EQ(static_cast<unsigned>(p), 0u);
    EXPECT_TRUE(p.IsValid());
}

// --- written forms ---------------------------------------------------------------

TYPED_TEST(IntegerValue, ElementForm) {
    using V = typename TestFixture::V;
    TypeParam t = this->tagged(V(7));
    EXPECT_EQ(elementOf(t, 2), "\t\t<count>7</count>\n");
    EXPECT_EQ(elementOf(t, 0), "<count>7</count>\n");
    t = static_cast<V>(-7);
    EXPECT_EQ(elementOf(t, 0),
              TestFixture::kSigned ? "<count>-7</count>\n" : "<count>4294967289</count>\n");
}

TYPED_TEST(IntegerValue, AttributeForm) {
    using V = typename TestFixture::V;
    TypeParam t = this->tagged(V(12), "size");
    EXPECT_EQ(attributeOf(t), " size='12'");
    ostrel_test::Element e("e");
    e.setAttribute("n", &t);
    std::ostringstream os;
    e.EmitAttributes(os);
    EXPECT_EQ(os.str(), " n='12'");
}

TYPED_TEST(IntegerValue, ElementFormLeavesOutTheAttributes) {
    using V = typename TestFixture::V;
    Attributed<TypeParam> t(V(3));
    t.SetTag("count");
    integer unit(1);
    t.setAttribute("unit", &unit);
    EXPECT_EQ(elementOf(t), "<count>3</count>\n");
}

TYPED_TEST(IntegerValue, WritesWithTheStreamsOwnSettings) {
    using V = typename TestFixture::V;
    TypeParam t = this->tagged(V(255), "n");
    std::ostringstream os;
    os << std::hex << std::uppercase;
    const auto flags = os.flags();
    t.EmitXML(os, 0);
    t.EmitAsAttribute(os);
    EXPECT_EQ(os.str(), "<n>FF</n>\n n='FF'");
    EXPECT_EQ(os.flags(), flags);
}

TYPED_TEST(IntegerValue, RoundTripsThroughBothForms) {
    using V = typename TestFixture::V;
    for (V v :
         {TestFixture::kMin, static_cast<V>(-1), V(0), V(1), V(123456789), TestFixture::kMax}) {
        TypeParam written = this->tagged(v, "v");
        TypeParam fromElement, fromAttribute;
        EXPECT_TRUE(fromElement.SetValueFromString(elementText(elementOf(written), "v").c_str()));
        EXPECT_TRUE(
            fromAttribute.SetValueFromString(attributeText(attributeOf(written), "v").c_str()));
        EXPECT_EQ(V(fromElement), v);
        EXPECT_EQ(V(fromAttribute), v);
    }
}

// --- copies ------------------------------------------------------------------------

TYPED_TEST(IntegerValue, AssignmentCopiesTheValueOnly) {
    using V = typename TestFixture::V;
    Attributed<TypeParam> a(V(5)), b(V(9));
    a.SetTag("ta");
    b.SetTag("tb");
    integer marker(1);
    a.setAttribute("mine", &marker);
    b.setAttribute("theirs", &marker);
    TypeParam& result = (a = b);
    EXPECT_EQ(&result, &a);
    EXPECT_EQ(V(a), V(9));
    EXPECT_EQ(a.GetTag(), "ta");
    EXPECT_TRUE(a.HasAttribute("mine"));
    EXPECT_FALSE(a.HasAttribute("theirs"));
    EXPECT_EQ(&(a = V(4)), &a);
    EXPECT_EQ(V(a), V(4));
    EXPECT_EQ(a.GetTag(), "ta");
}

TYPED_TEST(IntegerValue, CopyAndCloneTakeTagAttributesAndValue) {
    using V = typename TestFixture::V;
    Attributed<TypeParam> b(V(9));
    b.SetTag("tb");
    integer marker(1);
    b.setAttribute("theirs", &marker);
    TypeParam c(b);
    EXPECT_EQ(V(c), V(9));
    EXPECT_EQ(c.GetTag(), "tb");
    EXPECT_TRUE(c.HasAttribute("theirs"));
    std::unique_ptr<XObject> copy(c.clone());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(typeid(*copy), typeid(TypeParam));
    auto& typed = static_cast<TypeParam&>(*copy);
    EXPECT_EQ(V(typed), V(9));
    EXPECT_EQ(typed.GetTag(), "tb");
    EXPECT_TRUE(typed.HasAttribute("theirs"));
}

// --- operators ------------------------------------------------------------------------

TYPED_TEST(IntegerValue, ArithmeticWrapsModulo2To32) {
    using V = typename TestFixture::V;
    const V kMin = TestFixture::kMin, kMax = TestFixture::kMax;
    EXPECT_EQ(TypeParam(kMax) + V(1), kMin);
    EXPECT_EQ(TypeParam(kMin) - V(1), kMax);
    EXPECT_EQ(TypeParam(V(65536)) * V(65536), V(0));
    EXPECT_EQ(TypeParam(V(0x10001)) * V(0x10001), V(0x20001));
    EXPECT_EQ(TypeParam(kMax) * V(2), static_cast<V>(0xFFFFFFFEu));
    EXPECT_EQ(TypeParam(kMin) * static_cast<V>(-1), kMin);
    EXPECT_EQ(TypeParam(V(0)) - kMin, kMin);
    TypeParam t(kMax);
    EXPECT_EQ(&(t += V(2)), &t);
    EXPECT_EQ(V(t), static_cast<V>(kMin + V(1)));
    t -= V(2);
    EXPECT_EQ(V(t), kMax);
    t *= V(3);
    EXPECT_EQ(V(t), static_cast<V>(static_cast<unsigned>(kMax) * 3u));
}

// Every operator on every pair of boundary operands, against 64-bit arithmetic cut to 32
// bits; under the sanitizers this also shows that no operand pair is undefined.
TYPED_TEST(IntegerValue, OperatorsMatch64BitArithmeticOnBoundaryOperands) {
    using V = typename TestFixture::V;
    using Wide = typename std::conditional<TestFixture::kSigned, long long,
                                           unsigned long long>::type;
    const long long samples[] = {INT_MIN, INT_MIN + 1, -65536, -2, -1, 0, 1, 2, 31, 32, 33,
                                 65536, 0x55555555, INT_MAX - 1, INT_MAX};
    auto cut = [](Wide w) { return static_cast<V>(static_cast<unsigned int>(w)); };
    auto floorShift = [](Wide a, unsigned n) -> Wide {
        const Wide d = static_cast<Wide>(1ULL << n);
        return a >= 0 ? a / d : -((-a - 1) / d) - 1;
    };
    for (long long sa : samples) {
        for (long long sb : samples) {
            const V a = static_cast<V>(sa), b = static_cast<V>(sb);
            const Wide wa = a, wb = b;
            const unsigned n = static_cast<unsigned>(b) & 31u;
            TypeParam t(a);
            SCOPED_TRACE(::testing::Message() << a << " op " << b);
            EXPECT_EQ(t + b, cut(wa + wb));
            EXPECT_EQ(t - b, cut(wa - wb));
            EXPECT_EQ(t * b, cut(static_cast<unsigned long long>(wa) *
                                 static_cast<unsigned long long>(wb)));
            EXPECT_EQ(t & b, cut(wa & wb));
            EXPECT_EQ(t | b, cut(wa | wb));
            EXPECT_EQ(t ^ b, cut(wa ^ wb));
            EXPECT_EQ(t << b, cut(static_cast<unsigned long long>(wa) << n));
            EXPECT_EQ(t >> b, cut(floorShift(wa, n)));
            EXPECT_EQ(t < b, V(wa < wb));
            if (b == 0) continue;
            EXPECT_EQ(t / b, cut(wa / wb));
            EXPECT_EQ(t % b, cut(wa % wb));
            TypeParam u(a);
            u += b, u -= b, u *= b, u /= b, u %= b, u <<= b, u >>= b, u &= b, u |= b, u ^= b;
            ++u, --u, u++, u--;
        }
    }
}

TYPED_TEST(IntegerValue, IncrementAndDecrementWrap) {
    using V = typename TestFixture::V;
    TypeParam t(TestFixture::kMax);
    EXPECT_EQ(t++, TestFixture::kMax);
    EXPECT_EQ(V(t), TestFixture::kMin);
    EXPECT_EQ(t--, TestFixture::kMin);
    EXPECT_EQ(V(t), TestFixture::kMax);
    EXPECT_EQ(++t, TestFixture::kMin);
    EXPECT_EQ(--t, TestFixture::kMax);
}

TYPED_TEST(IntegerValue, PrefixIncrementReturnsTheValueItself) {
    using V = typename TestFixture::V;
    TypeParam t(V(1));
    V& inner = ++t;
    inner = V(40);
    EXPECT_EQ(V(t), V(40));
    --t = V(7);
    EXPECT_EQ(V(t), V(7));
}

TYPED_TEST(IntegerValue, DivisionByZeroThrowsAndKeepsTheValue) {
    using V = typename TestFixture::V;
    TypeParam t = this->tagged(V(7));
    const std::string message = "Error: Division by zero in 'count'";
    EXPECT_EQ(this->messageOf([](TypeParam& x) { (void)(x / V(0)); }, t), message);
    EXPECT_EQ(this->messageOf([](TypeParam& x) { (void)(x % V(0)); }, t), message);
    EXPECT_EQ(this->messageOf([](TypeParam& x) { x /= V(0); }, t), message);
    EXPECT_EQ(V(t), V(7));
    EXPECT_EQ(this->messageOf([](TypeParam& x) { x %= V(0); }, t), message);
    EXPECT_EQ(V(t), V(7));
    TypeParam untagged(V(1));
    EXPECT_EQ(this->messageOf([](TypeParam& x) { x /= V(0); }, untagged),
              "Error: Division by zero in ''");
}

TYPED_TEST(IntegerValue, DivisionFollowsTheSignedness) {
    using V = typename TestFixture::V;
    TypeParam t(static_cast<V>(-7));
    if constexpr (TestFixture::kSigned) {
        EXPECT_EQ(t / V(2), V(-3));
        EXPECT_EQ(t % V(2), V(-1));
        EXPECT_EQ(TypeParam(V(7)) % V(-2), V(1));
        EXPECT_EQ(TypeParam(TestFixture::kMin) / V(-1), TestFixture::kMin);
        EXPECT_EQ(TypeParam(TestFixture::kMin) % V(-1), V(0));
        EXPECT_EQ(TypeParam(V(9)) / V(-1), V(-9));
        TypeParam m(TestFixture::kMin);
        m /= V(-1);
        EXPECT_EQ(V(m), TestFixture::kMin);
        m %= V(-1);
        EXPECT_EQ(V(m), V(0));
    } else {
        EXPECT_EQ(t / V(2), V(2147483644u));
        EXPECT_EQ(t % V(2), V(1));
        EXPECT_EQ(TypeParam(TestFixture::kMax) / V(2), V(2147483647u));
        // The largest divisor is not -1 here: no special case.
        EXPECT_EQ(TypeParam(V(9)) / static_cast<V>(-1), V(0));
        EXPECT_EQ(TypeParam(V(9)) % static_cast<V>(-1), V(9));
    }
    t /= V(2);
    EXPECT_EQ(V(t), TestFixture::kSigned ? V(-3) : V(2147483644u));
    t %= V(2);
    EXPECT_EQ(V(t), TestFixture::kSigned ? V(-1) : V(0));
}

TYPED_TEST(IntegerValue, ShiftsUseTheLowFiveBitsAndKeepTheObject) {
    using V = typename TestFixture::V;
    TypeParam all(static_cast<V>(-1));
    EXPECT_EQ(all >> V(1), TestFixture::kSigned ? V(-1) : V(2147483647u));
    EXPECT_EQ(V(all), static_cast<V>(-1));
    EXPECT_EQ(all >> V(32), static_cast<V>(-1));
    EXPECT_EQ(TypeParam(V(1)) << V(31), static_cast<V>(0x80000000u));
    EXPECT_EQ(TypeParam(V(1)) << V(32), V(1));
    EXPECT_EQ(TypeParam(V(1)) << V(33), V(2));
    EXPECT_EQ(all << V(1), static_cast<V>(-2));
    EXPECT_EQ(TypeParam(V(8)) >> static_cast<V>(-1), V(0)); // a count of 31
    TypeParam one(V(1));
    EXPECT_EQ(one << V(4), V(16));
    EXPECT_EQ(V(one), V(1));
    EXPECT_EQ(&(one <<= V(31)), &one);
    EXPECT_EQ(V(one), static_cast<V>(0x80000000u));
    one >>= V(31);
    EXPECT_EQ(V(one), TestFixture::kSigned ? V(-1) : V(1));
}

TYPED_TEST(IntegerValue, BitwiseOperators) {
    using V = typename TestFixture::V;
    TypeParam t(V(0x0F0F));
    EXPECT_EQ(t & V(0x00FF), V(0x000F));
    EXPECT_EQ(t | V(0x00F0), V(0x0FFF));
    EXPECT_EQ(t ^ V(0x0FFF), V(0x00F0));
    EXPECT_EQ(~TypeParam(V(0)), static_cast<V>(-1));
    EXPECT_EQ(~t, static_cast<V>(0xFFFFF0F0u));
    t &= V(0xFF);
    EXPECT_EQ(V(t), V(0x0F));
    t |= V(0x30);
    EXPECT_EQ(V(t), V(0x3F));
    t ^= V(0x3F);
    EXPECT_EQ(V(t), V(0));
}

TYPED_TEST(IntegerValue, LogicAndComparisonsYieldOneOrZero) {
    using V = typename TestFixture::V;
    TypeParam zero(V(0)), five(V(5));
    EXPECT_EQ(!zero, V(1));
    EXPECT_EQ(!five, V(0));
    EXPECT_EQ(five && V(9), V(1));
    EXPECT_EQ(five && V(0), V(0));
    EXPECT_EQ(zero && V(9), V(0));
    EXPECT_EQ(V(five), V(5));
    EXPECT_EQ(five == V(5), V(1));
    EXPECT_EQ(five != V(5), V(0));
    EXPECT_EQ(five < V(6), V(1));
    EXPECT_EQ(five <= V(5), V(1));
    EXPECT_EQ(five > V(5), V(0));
    EXPECT_EQ(five >= V(6), V(0));
    // Signedness decides the order of -1 and 0.
    TypeParam minusOne(static_cast<V>(-1));
    EXPECT_EQ(minusOne < V(0), TestFixture::kSigned ? V(1) : V(0));
    EXPECT_EQ(minusOne > V(0), TestFixture::kSigned ? V(0) : V(1));
}

TYPED_TEST(IntegerValue, ObjectsCompareByValueNotByTag) {
    using V = typename TestFixture::V;
    TypeParam a = this->tagged(V(3), "a"), b = this->tagged(V(3), "b"), c = this->tagged(V(4), "a");
    EXPECT_EQ(a == b, V(1));
    EXPECT_EQ(a != c, V(1));
    EXPECT_EQ(a + c, V(7));
    EXPECT_EQ(c - a, V(1));
}
