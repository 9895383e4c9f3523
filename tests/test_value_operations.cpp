// What each kind of value does beyond the shared forms: the operators of the numbers and of
// the truth value, the text's string operations, the token lists' own element form.
#include "support/test_element.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <type_traits>
#include <utility>
#include <vector>

using namespace Ostrel;
using ostrel_test::elementOf;
using ostrel_test::messageOf;

namespace {

template <class T>
class NumberOps : public ::testing::Test {};
using NumberClasses = ::testing::Types<integer, non_negative_integer, positive_integer, non_positive_integer,
                                       negative_integer, real, decimal>;
TYPED_TEST_SUITE(NumberOps, NumberClasses);
template <class T>
class TokenListOps : public ::testing::Test {};
using TokenListClasses = ::testing::Types<NMTOKENS, IDREFS>;
TYPED_TEST_SUITE(TokenListOps, TokenListClasses);

// The number type of a numeric class.
template <class T, class V>
V numberOf(const IntegerOperators<T, V>&);
template <class T>
double numberOf(const RealOperators<T>&);

bool same(double x, double y) { return (std::isnan(x) && std::isnan(y)) || x == y; }

} // namespace


// Every operator on every pair of boundary operands: integers against 64-bit arithmetic cut
// to 32 bits, which under the sanitizers also shows that no operand pair is undefined;
// floating values against plain double arithmetic, where a NaN is unequal to everything
// and counts as non-zero.
TYPED_TEST(NumberOps, MatchWideArithmeticOnBoundaryOperandsAndWriteWithTheStreamsSettings) {
    using V = decltype(numberOf(std::declval<TypeParam>()));
    constexpr bool kFloating = std::is_floating_point<V>::value;
    using Wide = typename std::conditional<kFloating, double, typename std::conditional<
        std::is_signed<V>::value, long long, unsigned long long>::type>::type;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> samples = kFloating
        ? std::vector<double>{0.0, -0.0, 1.5, -3.5, 6.0, 1e-300, 1e308, HUGE_VAL, -HUGE_VAL, nan}
        : std::vector<double>{INT_MIN, INT_MIN + 1, -65536, -7, -2, -1, 0, 1, 2, 31, 32, 33, 65536,
                              0x55555555, INT_MAX - 1, INT_MAX};
    auto cut = [](Wide w) {
        if constexpr (kFloating) return w;
        else return static_cast<V>(static_cast<unsigned int>(static_cast<unsigned long long>(w)));
    };
    for (double sa : samples) {
        const V a = kFloating ? V(sa) : static_cast<V>(static_cast<long long>(sa));
        const Wide wa = a;
        TypeParam t(a);
        EXPECT_EQ(!t, V(a == 0));
        for (double sb : samples) {
            const V b = kFloating ? V(sb) : static_cast<V>(static_cast<long long>(sb));
            const Wide wb = b;
            SCOPED_TRACE(::testing::Message() << a << " op " << b);
            // Each operator, and its compound form: it assigns what the operator gives and
            // returns the object.
#define OSTREL_OP(op, expected)                                                                  \
    EXPECT_TRUE(same(t op b, expected)) << #op;                                                  \
    { TypeParam x(a); EXPECT_EQ(&(x op## = b), &x) << #op; EXPECT_TRUE(same(V(x), t op b)) << #op; }
            OSTREL_OP(+, cut(wa + wb)) OSTREL_OP(-, cut(wa - wb))
            if constexpr (kFloating) {
                OSTREL_OP(*, wa * wb) OSTREL_OP(/, wa / wb)
            } else {
                const unsigned n = static_cast<unsigned>(b) & 31u;
                OSTREL_OP(*, cut(static_cast<unsigned long long>(wa) * static_cast<unsigned long long>(wb)))
                OSTREL_OP(&, cut(wa & wb)) OSTREL_OP(|, cut(wa | wb)) OSTREL_OP(^, cut(wa ^ wb))
                OSTREL_OP(>>, cut(wa >> n))  // sign-filling for the signed Wide, as in GCC and MSVC
                OSTREL_OP(<<, cut(static_cast<Wide>(static_cast<unsigned long long>(wa) << n)))
                if (b != 0) { OSTREL_OP(/, cut(wa / wb)) OSTREL_OP(%, cut(wa % wb)) }
            }
#undef OSTREL_OP
            const std::pair<V, bool> truths[] = {{t && b, a != 0 && b != 0}, {t == b, wa == wb},
                                                 {t != b, wa != wb}, {t < b, wa < wb}, {t <= b, wa <= wb},
                                                 {t > b, wa > wb}, {t >= b, wa >= wb}};
            for (const auto& [got, expected] : truths) EXPECT_EQ(got, V(expected));
            EXPECT_TRUE(same(V(t), a));  // none of them changes the object
        }
        if constexpr (!kFloating) {
            TypeParam u(a);
            EXPECT_EQ(u++, a);
            EXPECT_EQ(V(u), cut(wa + 1));
            EXPECT_EQ(u--, cut(wa + 1));
            EXPECT_EQ(--u, cut(wa - 1));
            EXPECT_EQ(++u, a);
            EXPECT_EQ(~t, cut(~wa));
        }
    }
    // Integers: division by zero throws naming the tag; prefix forms return the object;
    // objects compare by value, whatever their tags. Numbers are written with the stream's
    // settings, left as found.
    if constexpr (!kFloating) {
        TypeParam t(V(7)), untagged(V(1)), alike(V(7)), other(V(8));
        t.SetTag("count");
        alike.SetTag("another");
        for (auto divide : {+[](TypeParam& x) { (void)(x / V(0)); }, +[](TypeParam& x) { (void)(x % V(0)); },
                            +[](TypeParam& x) { x /= V(0); }, +[](TypeParam& x) { x %= V(0); }})
            EXPECT_EQ(messageOf([&] { divide(t); }) + messageOf([&] { divide(untagged); }),
                      "Error: Division by zero in 'count'Error: Division by zero in ''");
        EXPECT_EQ((t == alike) + (t != other) * 2, V(3));
        ++t = V(40);
        --t;
        EXPECT_EQ(V(t), V(39));
        std::ostringstream os;
        os << std::hex << std::uppercase << std::fixed;
        os.precision(9);
        const auto flags = os.flags();
        real r(3.14159265);
        r.SetTag("x");
        for (XObject* value : {static_cast<XObject*>(&t), static_cast<XObject*>(&r)}) {
            value->EmitXML(os, 0);
            value->EmitAsAttribute(os);
        }
        EXPECT_EQ(os.str(), "<count>27</count>\n count='27'<x>3.141592650</x>\n x='3.141592650'");
        EXPECT_EQ(os.flags(), flags);
        EXPECT_EQ(os.precision(), 9);
    }
}

TEST(BooleanOps, NegationAndComparisonsByValue) {
    boolean yes(true), no(false), alsoYes(true);
    alsoYes.SetTag("other");
    EXPECT_EQ((!no) + (!yes) * 2 + (yes == true) * 4 + (no == true) * 8 + (yes != true) * 16 +
                  (no != true) * 32 + (yes == alsoYes) * 64, 1 + 4 + 32 + 64);
    yes = false;
    yes.SetTag("#PCDATA");  // no character-data form: a '#' tag is written like any other
    EXPECT_EQ(elementOf(yes, 1), "\t<#PCDATA>false</#PCDATA>\n");
}

TEST(StringOps, CharacterDataTagsAssignAppendIndexAndConvert) {
    EXPECT_EQ(Ostrel::string(std::string("x")).GetTag(), "#PCDATA");
    Ostrel::string s("a<b");
    EXPECT_EQ(s.GetTag(), "#PCDATA");
    const std::pair<const char*, std::string> tags[] = {  // any '#' tag: the bare text
        {"#PCDATA", "a&lt;b"}, {"#other", "a&lt;b"}, {"", "\t<>a&lt;b</>\n"}};
    for (const auto& [tag, written] : tags) {
        s.SetTag(tag);
        EXPECT_EQ(elementOf(s, 1), written);
    }
    s.SetTag("keep");
    s = "abc";
    s = 'z';
    s += "12";
    s += '3';
    s += Ostrel::string("!");
    EXPECT_EQ(std::string(s) + s.GetTag(), "z123!keep");
    EXPECT_EQ((std::string{s[1u], s[5u], s[6u]}), std::string("1\0\0", 3));
    EXPECT_EQ(&s[5u], s.c_str() + 5);  // the text's own terminating NUL
    EXPECT_EQ(&s[6u], &s[100u]);  // one shared character past the end
    s[0u] = 'A';
    const Ostrel::string& cs = s;
    EXPECT_EQ(cs[0u], 'A');
    EXPECT_THROW(cs[5u], std::out_of_range);
    EXPECT_STREQ(static_cast<const char*>(s), "A123!");
    EXPECT_STREQ(static_cast<const char*>(Ostrel::string()), "");  // never null
}

TYPED_TEST(TokenListOps, TokensWriteThemselvesAndAreAssignedOneByOne) {
    TypeParam list;
    list.SetTag("names");
    EXPECT_EQ(&(list = "a"), &list);
    Ostrel::string named("b");
    named.SetTag("item");
    list.push_back(named);
    EXPECT_EQ(elementOf(list, 1), "\t<names>a \t\t<item>b</item>\n</names>\n");
    // A list assigns token by token: tokens already there take tag and text only, the ones
    // added are whole copies.
    TypeParam source;
    for (const char* text : {"one", "two"}) {
        ostrel_test::Attributed<Ostrel::string> token(text);
        token.SetTag("tok");
        token.setAttribute("note", &named);
        source.push_back(token);
    }
    TypeParam target;
    target = "old";
    target = source;
    EXPECT_EQ(elementOf(target), "<>\t<tok>one</tok>\n \t<tok>two</tok>\n</>\n");
    EXPECT_FALSE(target.front().HasAttribute("note"));
    EXPECT_TRUE(target.back().HasAttribute("note"));
}
