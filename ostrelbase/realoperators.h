// The operator set of the two floating value classes, written once.
#ifndef OSTREL_REALOPERATORS_H
#define OSTREL_REALOPERATORS_H

#include <ostrelbase/ostrelexport.h>

namespace Ostrel {

// Operators of a floating value class Self that holds its number in Self::m_value (a
// double) and befriends this template. Not an XObject itself: Self derives from XObject
// directly and gets only operations from here. Plain IEEE double arithmetic: nothing is
// tested, division by zero gives an infinity or a NaN. Every operator that does not
// assign leaves the object unchanged. A NaN compares unequal to everything, counts as
// non-zero for && and !.
template <class Self>
class OSTREL_API RealOperators {
public:
    OSTREL_CONST_RETURN_BEGIN
    // The value.
    operator double() const { return opsValue(); }
    // value + x, value - x, value * x, value / x in double arithmetic.
    const double operator+(double x) const { return opsValue() + x; }
    const double operator-(double x) const { return opsValue() - x; }
    const double operator*(double x) const { return opsValue() * x; }
    const double operator/(double x) const { return opsValue() / x; }
    // 1.0 when the value and x are both non-zero, else 0.0.
    const double operator&&(double x) { return opsValue() != 0.0 && x != 0.0 ? 1.0 : 0.0; }
    // 1.0 when the value is zero (either sign), else 0.0.
    const double operator!() const { return opsValue() == 0.0 ? 1.0 : 0.0; }
    // The integer 1 when the relation between the value and x holds, else 0.
    const int operator==(double x) const { return opsValue() == x ? 1 : 0; }
    const int operator!=(double x) const { return opsValue() != x ? 1 : 0; }
    const int operator<(double x) const { return opsValue() < x ? 1 : 0; }
    const int operator<=(double x) const { return opsValue() <= x ? 1 : 0; }
    const int operator>(double x) const { return opsValue() > x ? 1 : 0; }
    const int operator>=(double x) const { return opsValue() >= x ? 1 : 0; }
    OSTREL_CONST_RETURN_END

    // value := value op x; returns the object.
    Self& operator+=(double x) { return opsAssign(operator+(x)); }
    Self& operator-=(double x) { return opsAssign(operator-(x)); }
    Self& operator*=(double x) { return opsAssign(operator*(x)); }
    Self& operator/=(double x) { return opsAssign(operator/(x)); }

private:
    const double& opsValue() const { return static_cast<const Self&>(*this).m_value; }
    Self& opsAssign(double v) {
        Self& self = static_cast<Self&>(*this);
        self.m_value = v;
        return self;
    }
};

} // namespace Ostrel

#endif
