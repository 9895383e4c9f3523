// The five integer values, one implementation: the operators come from IntegerOperators,
// the parse and both written forms from the helpers here.
#include <ostrelbase/ostrel.h>
#include <ostrelbase/valueform_impl.h>

#include <cstdlib>
#include <new>

namespace Ostrel {

namespace {

// atoi's result wherever atoi is defined. atoi is undefined out of range, so convert at
// 64 bits and keep the low 32, on every platform whatever the width of long.
bool parseInteger(const char* text, int& value) {
    if (text == nullptr) return false;
    const long long wide = std::strtoll(text, nullptr, 10);
    value = IntegerBits<int>::fromBits(static_cast<unsigned int>(wide));
    return true;
}

// strtoul's result wherever it is in range (a minus sign wraps, "-1" is the maximum); out
// of range the low 32 bits, as above.
bool parseInteger(const char* text, unsigned int& value) {
    if (text == nullptr) return false;
    value = static_cast<unsigned int>(std::strtoull(text, nullptr, 10));
    return true;
}

} // namespace

integer::integer() : XObject(), IntegerOperators(), m_value(0) {}
integer::integer(int value) : XObject(), IntegerOperators(), m_value(value) {}
integer::integer(const integer& other)
    : XObject(other), IntegerOperators(), m_value(other.m_value) {}
integer::~integer() = default;
integer& integer::operator=(const integer& other) {
    m_value = other.m_value;
    return *this;
}
integer& integer::operator=(int value) {
    m_value = value;
    return *this;
}
bool integer::EmitXML(std::ostream& os, int indent) {
    return detail::writeValueElement(os, indent, m_tag, m_value);
}
bool integer::EmitAsAttribute(std::ostream& os) {
    return detail::writeValueAttribute(os, m_tag, m_value);
}
XObject* integer::clone() const { return new (std::nothrow) integer(*this); }
bool integer::SetValueFromString(const char* text) { return parseInteger(text, m_value); }

non_negative_integer::non_negative_integer() : XObject(), IntegerOperators(), m_value(0u) {}
non_negative_integer::non_negative_integer(unsigned int value)
    : XObject(), IntegerOperators(), m_value(value) {}
non_negative_integer::non_negative_integer(const non_negative_integer& other)
    : XObject(other), IntegerOperators(), m_value(other.m_value) {}
non_negative_integer::~non_negative_integer() = default;
non_negative_integer& non_negative_integer::operator=(const non_negative_integer& other) {
    m_value = other.m_value;
    return *this;
}
non_negative_integer& non_negative_integer::operator=(unsigned int value) {
    m_value = value;
    return *this;
}
bool non_negative_integer::EmitXML(std::ostream& os, int indent) {
    return detail::writeValueElement(os, indent, m_tag, m_value);
}
bool non_negative_integer::EmitAsAttribute(std::ostream& os) {
    return detail::writeValueAttribute(os, m_tag, m_value);
}
XObject* non_negative_integer::clone() const {
    return new (std::nothrow) non_negative_integer(*this);
}
bool non_negative_integer::SetValueFromString(const char* text) {
    return parseInteger(text, m_value);
}

positive_integer::positive_integer() : XObject(), IntegerOperators(), m_value(1u) {}
positive_integer::positive_integer(unsigned int value)
    : XObject(), IntegerOperators(), m_value(value) {}
positive_integer::positive_integer(const positive_integer& other)
    : XObject(other), IntegerOperators(), m_value(other.m_value) {}
positive_integer::~positive_integer() = default;
positive_integer& positive_integer::operator=(const positive_integer& other) {
    m_value = other.m_value;
    return *this;
}
positive_integer& positive_integer::operator=(unsigned int value) {
    m_value = value;
    return *this;
}
bool positive_integer::EmitXML(std::ostream& os, int indent) {
    return detail::writeValueElement(os, indent, m_tag, m_value);
}
bool positive_integer::EmitAsAttribute(std::ostream& os) {
    return detail::writeValueAttribute(os, m_tag, m_value);
}
XObject* positive_integer::clone() const { return new (std::nothrow) positive_integer(*this); }
bool positive_integer::SetValueFromString(const char* text) { return parseInteger(text, m_value); }

non_positive_integer::non_positive_integer() : XObject(), IntegerOperators(), m_value(0) {}
non_positive_integer::non_positive_integer(int value)
    : XObject(), IntegerOperators(), m_value(value) {}
non_positive_integer::non_positive_integer(const non_positive_integer& other)
    : XObject(other), IntegerOperators(), m_value(other.m_value) {}
non_positive_integer::~non_positive_integer() = default;
non_positive_integer& non_positive_integer::operator=(const non_positive_integer& other) {
    m_value = other.m_value;
    return *this;
}
non_positive_integer& non_positive_integer::operator=(int value) {
    m_value = value;
    return *this;
}
bool non_positive_integer::EmitXML(std::ostream& os, int indent) {
    return detail::writeValueElement(os, indent, m_tag, m_value);
}
bool non_positive_integer::EmitAsAttribute(std::ostream& os) {
    return detail::writeValueAttribute(os, m_tag, m_value);
}
XObject* non_positive_integer::clone() const {
    return new (std::nothrow) non_positive_integer(*this);
}
bool non_positive_integer::SetValueFromString(const char* text) {
    return parseInteger(text, m_value);
}

negative_integer::negative_integer() : XObject(), IntegerOperators(), m_value(-1) {}
negative_integer::negative_integer(int value) : XObject(), IntegerOperators(), m_value(value) {}
negative_integer::negative_integer(const negative_integer& other)
    : XObject(other), IntegerOperators(), m_value(other.m_value) {}
negative_integer::~negative_integer() = default;
negative_integer& negative_integer::operator=(const negative_integer& other) {
    m_value = other.m_value;
    return *this;
}
negative_integer& negative_integer::operator=(int value) {
    m_value = value;
    return *this;
}
bool negative_integer::EmitXML(std::ostream& os, int indent) {
    return detail::writeValueElement(os, indent, m_tag, m_value);
}
bool negative_integer::EmitAsAttribute(std::ostream& os) {
    return detail::writeValueAttribute(os, m_tag, m_value);
}
XObject* negative_integer::clone() const { return new (std::nothrow) negative_integer(*this); }
bool negative_integer::SetValueFromString(const char* text) { return parseInteger(text, m_value); }

} // namespace Ostrel
