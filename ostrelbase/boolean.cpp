// boolean: the truth value.
#include <ostrelbase/ostrel.h>
#include <ostrelbase/valueform_impl.h>

#include <cstring>
#include <new>

namespace Ostrel {

namespace {
const char* word(bool value) { return value ? "true" : "false"; }
} // namespace

boolean::boolean() : XObject(), m_value(false) {}
boolean::boolean(bool b) : XObject(), m_value(b) {}
boolean::boolean(const boolean& other) : XObject(other), m_value(other.m_value) {}
boolean::~boolean() = default;

boolean::operator bool() const { return m_value; }

OSTREL_CONST_RETURN_BEGIN
const bool boolean::operator!() const { return !m_value; }
const int boolean::operator==(bool b) const { return m_value == b ? 1 : 0; }
const int boolean::operator!=(bool b) const { return m_value != b ? 1 : 0; }
OSTREL_CONST_RETURN_END

boolean& boolean::operator=(const boolean& other) {
    m_value = other.m_value;
    return *this;
}

boolean& boolean::operator=(bool b) {
    m_value = b;
    return *this;
}

bool boolean::EmitXML(std::ostream& os, int indent) {
    return detail::writeValueElement(os, indent, m_tag, word(m_value));
}

bool boolean::EmitAsAttribute(std::ostream& os) {
    return detail::writeValueAttribute(os, m_tag, word(m_value));
}

XObject* boolean::clone() const { return new (std::nothrow) boolean(*this); }

bool boolean::SetValueFromString(const char* text) {
    if (text == nullptr) return false;
    if (std::strcmp(text, "true") == 0) {
        m_value = true;
        return true;
    }
    if (std::strcmp(text, "false") == 0) {
        m_value = false;
        return true;
    }
    return false;
}

} // namespace Ostrel
