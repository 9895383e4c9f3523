// A small element class shaped like generated code, the message of a thrown XException,
// and the written forms of a value, for the tests.
#ifndef OSTREL_TESTS_TEST_ELEMENT_H
#define OSTREL_TESTS_TEST_ELEMENT_H

#include <ostrelbase/ostrel.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <sstream>
#include <string>
#include <vector>

namespace ostrel_test {

// Element with owned children; opens the protected attribute helpers to the tests.
class Element : public Ostrel::XObject {
public:
    Element() = default;
    explicit Element(const char* tag) : XObject(tag) {}
    Element(const Element& other) : XObject(other), m_valid(other.m_valid) {
        // A child that cannot be copied fails the copy, as memory running out does.
        for (const auto& child : other.m_children) {
            std::unique_ptr<Ostrel::XObject> copy(child->clone());
            if (!copy) throw std::bad_alloc();
            m_children.push_back(std::move(copy));
        }
    }
    // Assignment copies the tag only, as for every element.
    Element& operator=(const Element& other) {
        XObject::operator=(other);
        return *this;
    }

    using XObject::ConvertToStdEntities;
    using XObject::copyAttributesFrom;
    using XObject::doIndent;
    using XObject::freeAttributes;
    using XObject::getAttribute;
    using XObject::setAttribute;
    using XObject::shareAttributes;

    Ostrel::AttributeMap* attributes() { return m_attributes; }
    void add(Ostrel::XObject* child) { m_children.emplace_back(child); }

    bool EmitXML(std::ostream& os, int indent) override {
        os << doIndent(indent) << '<' << m_tag;
        EmitAttributes(os);
        if (m_children.empty()) {
            os << "/>" << std::endl;
            return true;
        }
        os << '>' << std::endl;
        for (auto& child : m_children) child->EmitXML(os, indent + 1);
        os << doIndent(indent) << "</" << m_tag << '>' << std::endl;
        return true;
    }
    Ostrel::XObject* clone() const override { return new (std::nothrow) Element(*this); }
    bool IsValid() override { return m_valid && hasValidAttributes(); }
    void setValid(bool valid) { m_valid = valid; }

private:
    std::vector<std::unique_ptr<Ostrel::XObject>> m_children;
    bool m_valid = true;
};

// A value whose clone fails, as it does when memory runs out.
class Unclonable : public Ostrel::XObject {
public:
    bool EmitXML(std::ostream&, int) override { return true; }
    Ostrel::XObject* clone() const override { return nullptr; }
};

// The message of the XException that action throws, or "(nothing thrown)".
inline std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Ostrel::XException& e) {
        return e.GetMsg();
    }
    return "(nothing thrown)";
}

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
