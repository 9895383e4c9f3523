// The object factory: registration, creation by name, its failures, and registration
// from another translation unit's static initializer.
#include "support/test_element.h"

#include <ostrelbase/xobjfactory.h>

#include <gtest/gtest.h>

#include <memory>
#include <new>

using Ostrel::XException;
using Ostrel::XObjectFactory;
using ostrel_test::messageOf;

namespace {

// A derived factory reaches the map directly.
class InspectingFactory : public XObjectFactory {
public:
    static const CreateFuncMap& map() { return m_createFuncMap; }
    static void plant(const std::string& name, Ostrel::CreateFunction function) {
        m_createFuncMap[name] = function;
    }
};

Ostrel::XObject* createFirst() { return new (std::nothrow) ostrel_test::Element("first"); }
Ostrel::XObject* createSecond() { return new (std::nothrow) ostrel_test::Element("second"); }
Ostrel::XObject* createNothing() { return nullptr; }
Ostrel::XObject* createThrowing() { throw XException("Error: from the create function", "gen.cpp", 9); }

std::string tagOf(const std::string& name) {
    std::unique_ptr<Ostrel::XObject> object(XObjectFactory::CreateObject(name));
    return object ? object->GetTag() : "(null)";
}

const std::string kNotFound = "Error: No registered create function was found for object ";

} // namespace

TEST(Factory, StaticInitializerOfAnotherUnitRegistered) {
    EXPECT_EQ(tagOf("widget"), "widget");
    EXPECT_EQ(tagOf("gadget"), "gadget");
    // The map derived factories see is the one registration filled.
    EXPECT_EQ(InspectingFactory::map().count("widget"), 1u);
}

// A new object each time, from the latest registration; refused registrations change nothing.
TEST(Factory, CreatesFromTheLatestRegistrationAndRefusesBadOnes) {
    XObjectFactory::RegisterCreateFunction("twice", createFirst);
    std::unique_ptr<Ostrel::XObject> a(XObjectFactory::CreateObject("twice"));
    std::unique_ptr<Ostrel::XObject> b(XObjectFactory::CreateObject("twice"));
    EXPECT_NE(a, b);
    XObjectFactory::RegisterCreateFunction("twice", createSecond);
    EXPECT_EQ(tagOf("twice"), "second");
    EXPECT_EQ(kNotFound + "'Twice'", messageOf([] { XObjectFactory::CreateObject("Twice"); }));
    EXPECT_EQ(kNotFound + "''", messageOf([] { XObjectFactory::CreateObject(""); }));
    const auto size = InspectingFactory::map().size();
    const std::string noName = "Error: Attempt made to register a create function without an object name";
    EXPECT_EQ(messageOf([] { XObjectFactory::RegisterCreateFunction("", createFirst); }), noName);
    EXPECT_EQ(messageOf([] { XObjectFactory::RegisterCreateFunction("", nullptr); }), noName);
    EXPECT_EQ(messageOf([] { XObjectFactory::RegisterCreateFunction("twice", nullptr); }),
              "Error: Attempt made to register a null create function for 'twice'");
    EXPECT_EQ(InspectingFactory::map().size(), size);
    EXPECT_EQ(tagOf("twice"), "second");
}

TEST(Factory, FailingCreationIsReportedByTheFactory) {
    InspectingFactory::plant("planted", nullptr);
    XObjectFactory::RegisterCreateFunction("empty", createNothing);
    try {
        XObjectFactory::CreateObject("planted");
        ADD_FAILURE() << "no exception";
    } catch (XException& e) {
        EXPECT_EQ(e.GetMsg(), "Error: Null create function found for object 'planted'");
        EXPECT_NE(e.GetSourceFile().find("xobjfactory"), std::string::npos);
    }
    EXPECT_EQ(messageOf([] { XObjectFactory::CreateObject("empty"); }),
              "Error: Unable to allocate memory for object 'empty'");
    // The create function's own exception passes unchanged.
    XObjectFactory::RegisterCreateFunction("throws", createThrowing);
    try {
        XObjectFactory::CreateObject("throws");
        ADD_FAILURE() << "no exception";
    } catch (XException& e) {
        EXPECT_EQ(e.GetErrorLocation(), "Error in 'gen.cpp', line 9.");
    }
}
