// Writing a simple value to a string, for the value tests.
#ifndef OSTREL_TESTS_VALUE_FORMS_H
#define OSTREL_TESTS_VALUE_FORMS_H

#include <ostrelbase/ostrel.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace ostrel_test {

// A value class with the protected attribute helper opened, so values can carry attributes.
template <class T>
struct Attributed : T {
    using T::T;
    using T::operator=;
    using Ostrel::XObject::setAttribute;
};

inline std::string elementOf(Ostrel::XObject& value, int indent = 0) {
    std::ostringstream os;
    EXPECT_TRUE(value.EmitXML(os, indent));
    return os.str();
}

// The attribute form; "(false)" is appended when EmitAsAttribute says it wrote nothing.
inline std::string attributeOf(Ostrel::XObject& value) {
    std::ostringstream os;
    if (!value.EmitAsAttribute(os)) os << "(false)";
    return os.str();
}

} // namespace ostrel_test

#endif
