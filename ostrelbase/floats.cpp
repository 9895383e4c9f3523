// real and decimal: the floating values, one implementation.
#include <ostrelbase/ostrel.h>
#include <ostrelbase/valueform_impl.h>

#include <cstdlib>
#include <new>

namespace Ostrel {

namespace {
// What atof gives, but defined for every text: out of range is +-HUGE_VAL or 0, not undefined.
bool parseReal(const char* text, double& value) {
    if (text == nullptr) return false;
    value = std::strtod(text, nullptr);
    return true;
}
} // namespace

real::real() : XObject(), RealOperators(), m_value(0.0) {}
real::real(double value) : XObject(), RealOperators(), m_value(value) {}
real::real(const real& other) : XObject(other), RealOperators(), m_value(other.m_value) {}
real::~real() = default;
real& real::operator=(const real& other) {
    m_value = other.m_value;
    return *this;
}
real& real::operator=(double value) {
    m_value = value;
    return *this;
}
bool real::EmitXML(std::ostream& os, int indent) {
    return detail::writeValueElement(os, indent, m_tag, m_value);
}
bool real::EmitAsAttribute(std::ostream& os) {
    return detail::writeValueAttribute(os, m_tag, m_value);
}
XObject* real::clone() const { return new (std::nothrow) real(*this); }
bool real::SetValueFromString(const char* text) { return parseReal(text, m_value); }

decimal::decimal() : XObject(), RealOperators(), m_value(0.0) {}
decimal::decimal(double value) : XObject(), RealOperators(), m_value(value) {}
decimal::decimal(const decimal& other) : XObject(other), RealOperators(), m_value(other.m_value) {}
decimal::~decimal() = default;
decimal& decimal::operator=(const decimal& other) {
    m_value = other.m_value;
    return *this;
}
decimal& decimal::operator=(double value) {
    m_value = value;
    return *this;
}
bool decimal::EmitXML(std::ostream& os, int indent) {
    return detail::writeValueElement(os, indent, m_tag, m_value);
}
bool decimal::EmitAsAttribute(std::ostream& os) {
    return detail::writeValueAttribute(os, m_tag, m_value);
}
XObject* decimal::clone() const { return new (std::nothrow) decimal(*this); }
bool decimal::SetValueFromString(const char* text) { return parseReal(text, m_value); }

} // namespace Ostrel
