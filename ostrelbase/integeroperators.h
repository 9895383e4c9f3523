// The operator set of the five integer value classes, written once.
#ifndef OSTREL_INTEGEROPERATORS_H
#define OSTREL_INTEGEROPERATORS_H

#include <ostrelbase/ostrelexcept.h>
#include <ostrelbase/ostrelexport.h>

#include <limits>
#include <string>
#include <type_traits>

namespace Ostrel {

// 32-bit two's-complement arithmetic done on the unsigned bits, so that no operand can
// overflow a signed type and every result is defined.
template <class V>
struct IntegerBits {
    static_assert(std::is_integral<V>::value && sizeof(V) == 4, "a 32-bit integer type");
    using Bits = typename std::make_unsigned<V>::type;

    static Bits toBits(V v) { return static_cast<Bits>(v); }
    // The value whose two's-complement bits are b; never relies on an out-of-range conversion.
    static V fromBits(Bits b) {
        if constexpr (std::is_signed<V>::value) {
            if (b > static_cast<Bits>(std::numeric_limits<V>::max()))
                return static_cast<V>(-static_cast<V>(~b) - 1);
        }
        return static_cast<V>(b);
    }
};

// Operators of an integer value class Self that holds its number in Self::m_value (type V,
// int or unsigned int) and befriends this template. Not an XObject itself: Self derives
// from XObject directly and gets only operations from here. Every operator that does not
// assign leaves the object unchanged; arithmetic wraps modulo 2^32; shift counts use their
// low five bits; comparisons and logic yield 1 or 0.
template <class Self, class V>
class OSTREL_API IntegerOperators {
    using B = IntegerBits<V>;

public:
    OSTREL_CONST_RETURN_BEGIN
    // The value.
    operator V() const { return opsValue(); }
    // value + x, value - x, value * x, wrapping modulo 2^32.
    const V operator+(V x) const { return B::fromBits(B::toBits(opsValue()) + B::toBits(x)); }
    const V operator-(V x) const { return B::fromBits(B::toBits(opsValue()) - B::toBits(x)); }
    const V operator*(V x) const { return B::fromBits(B::toBits(opsValue()) * B::toBits(x)); }
    // Quotient truncated toward zero (unsigned in the unsigned classes); the minimum / -1
    // wraps to the minimum. Throws XException "Error: Division by zero in '<tag>'" for 0.
    const V operator/(V x) const {
        opsRequireDivisor(x);
        // -1 is the one divisor whose quotient can overflow: negate by wrapping instead.
        return opsIsMinusOne(x) ? operator*(x) : static_cast<V>(opsValue() / x);
    }
    // Remainder of that division, with the sign of the value; any value % -1 is 0.
    // Throws XException "Error: Division by zero in '<tag>'" for 0.
    const V operator%(V x) const {
        opsRequireDivisor(x);
        return opsIsMinusOne(x) ? V(0) : static_cast<V>(opsValue() % x);
    }
    // Bitwise and, or, exclusive or, complement.
    const V operator&(V x) const { return B::fromBits(B::toBits(opsValue()) & B::toBits(x)); }
    const V operator|(V x) const { return B::fromBits(B::toBits(opsValue()) | B::toBits(x)); }
    const V operator^(V x) const { return B::fromBits(B::toBits(opsValue()) ^ B::toBits(x)); }
    const V operator~() const { return B::fromBits(~B::toBits(opsValue())); }
    // 1 when the value is 0, else 0.
    const V operator!() const { return opsValue() == 0 ? V(1) : V(0); }
    // 1 when the value and x are both non-zero, else 0.
    const V operator&&(V x) { return opsValue() != 0 && x != 0 ? V(1) : V(0); }
    // value shifted left by the low five bits of x; the object keeps its value.
    const V operator<<(V x) { return B::fromBits(B::toBits(opsValue()) << opsCount(x)); }
    // value shifted right by the low five bits of x: sign-filling when V is signed,
    // zero-filling when unsigned; the object keeps its value.
    const V operator>>(V x) {
        const typename B::Bits bits = B::toBits(opsValue());
        if constexpr (std::is_signed<V>::value) {
            if (opsValue() < 0) return B::fromBits(~(~bits >> opsCount(x)));
        }
        return B::fromBits(bits >> opsCount(x));
    }
    // 1 when the relation between the value and x holds, else 0 (signedness of V).
    const V operator==(V x) const { return opsValue() == x ? V(1) : V(0); }
    const V operator!=(V x) const { return opsValue() != x ? V(1) : V(0); }
    const V operator<(V x) const { return opsValue() < x ? V(1) : V(0); }
    const V operator<=(V x) const { return opsValue() <= x ? V(1) : V(0); }
    const V operator>(V x) const { return opsValue() > x ? V(1) : V(0); }
    const V operator>=(V x) const { return opsValue() >= x ? V(1) : V(0); }
    OSTREL_CONST_RETURN_END

    // value := value op x by the rules above; returns the object. /= and %= throw
    // XException for 0 and then leave the value as it was.
    Self& operator+=(V x) { return opsAssign(operator+(x)); }
    Self& operator-=(V x) { return opsAssign(operator-(x)); }
    Self& operator*=(V x) { return opsAssign(operator*(x)); }
    Self& operator/=(V x) { return opsAssign(operator/(x)); }
    Self& operator%=(V x) { return opsAssign(operator%(x)); }
    Self& operator&=(V x) { return opsAssign(operator&(x)); }
    Self& operator|=(V x) { return opsAssign(operator|(x)); }
    Self& operator^=(V x) { return opsAssign(operator^(x)); }
    Self& operator<<=(V x) { return opsAssign(operator<<(x)); }
    Self& operator>>=(V x) { return opsAssign(operator>>(x)); }
    // Adds or subtracts 1 (wrapping); returns the value itself, which may be written through.
    V& operator++() { return opsAssign(operator+(V(1))).m_value; }
    V& operator--() { return opsAssign(operator-(V(1))).m_value; }
    // Adds or subtracts 1 (wrapping); returns the value before the change.
    V operator++(int) {
        const V before = opsValue();
        operator++();
        return before;
    }
    V operator--(int) {
        const V before = opsValue();
        operator--();
        return before;
    }

private:
    Self& opsSelf() { return static_cast<Self&>(*this); }
    const Self& opsSelf() const { return static_cast<const Self&>(*this); }
    const V& opsValue() const { return opsSelf().m_value; }
    Self& opsAssign(V v) {
        opsSelf().m_value = v;
        return opsSelf();
    }
    static unsigned opsCount(V x) { return static_cast<unsigned>(B::toBits(x) & 31u); }
    static bool opsIsMinusOne(V x) {
        if constexpr (std::is_signed<V>::value) return x == -1;
        return false;
    }
    void opsRequireDivisor(V x) const {
        if (x == 0) OSTREL_THROW("Error: Division by zero in '" + opsSelf().GetTag() + "'");
    }
};

} // namespace Ostrel

#endif
