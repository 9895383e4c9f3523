// The object factory: registration, creation by name, its failures, and registration
// from another translation unit's static initializer.
#include "support/test_element.h"

#include <ostrelbase/xobjfactory.h>

#include <gtest/gtest.h>

#include <functional>
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

// Registrations from another unit's static initializers are in the map derived factories
// see. Objects come from the latest registration; refused registrations and
// failed creations are reported, and change nothing.
TEST(Factory, CreatesFromTheLatestRegistrationAndReportsEachFailure) {
    EXPECT_EQ(tagOf("widget") + tagOf("gadget"), "widgetgadget");
    XObjectFactory::RegisterCreateFunction("twice", createFirst);
    EXPECT_EQ(tagOf("twice"), "first");
    XObjectFactory::RegisterCreateFunction("twice", createSecond);
    InspectingFactory::plant("planted", nullptr);
    XObjectFactory::RegisterCreateFunction("empty", createNothing);
    XObjectFactory::RegisterCreateFunction("throws", createThrowing);
    const auto size = InspectingFactory::map().size();
    const std::string noName = "Error: Attempt made to register a create function without an object name";
    const std::pair<std::function<void()>, std::string> failures[] = {
        {[] { XObjectFactory::CreateObject("Twice"); }, kNotFound + "'Twice'"},
        {[] { XObjectFactory::CreateObject(""); }, kNotFound + "''"},
        {[] { XObjectFactory::RegisterCreateFunction("", createFirst); }, noName},
        {[] { XObjectFactory::RegisterCreateFunction("", nullptr); }, noName},
        {[] { XObjectFactory::RegisterCreateFunction("twice", nullptr); },
         "Error: Attempt made to register a null create function for 'twice'"},
        {[] { XObjectFactory::CreateObject("planted"); },
         "Error: Null create function found for object 'planted'"},
        {[] { XObjectFactory::CreateObject("empty"); },
         "Error: Unable to allocate memory for object 'empty'"},
        {[] { XObjectFactory::CreateObject("throws"); }, "Error: from the create function"}};  // unchanged
    for (const auto& [action, message] : failures) EXPECT_EQ(messageOf(action), message);
    EXPECT_EQ(InspectingFactory::map().size(), size);
    EXPECT_EQ(tagOf("twice"), "second");
}
