// Writing a simple value to a string and reading its text back, for the value tests.
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

template <class T>
std::string elementOf(T& value, int indent = 0) {
    std::ostringstream os;
    EXPECT_TRUE(value.EmitXML(os, indent));
    return os.str();
}

template <class T>
std::string attributeOf(T& value) {
    std::ostringstream os;
    EXPECT_TRUE(value.EmitAsAttribute(os));
    return os.str();
}

// The text between <tag> and </tag>\n of a one-line element form; a mismatch fails the test.
inline std::string elementText(const std::string& written, const std::string& tag) {
    const std::string open = "<" + tag + ">", close = "</" + tag + ">\n";
    if (written.compare(0, open.size(), open) != 0 || written.size() < open.size() + close.size() ||
        written.compare(written.size() - close.size(), close.size(), close) != 0) {
        ADD_FAILURE() << "not an element <" << tag << ">: " << written;
        return "";
    }
    return written.substr(open.size(), written.size() - open.size() - close.size());
}

// The text between the quotes of " tag='...'"; a mismatch fails the test.
inline std::string attributeText(const std::string& written, const std::string& tag) {
    const std::string open = " " + tag + "='";
    if (written.compare(0, open.size(), open) != 0 || written.size() < open.size() + 1 ||
        written.back() != '\'') {
        ADD_FAILURE() << "not an attribute " << tag << ": " << written;
        return "";
    }
    return written.substr(open.size(), written.size() - open.size() - 1);
}

} // namespace ostrel_test

#endif
