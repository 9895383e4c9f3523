// The object factory: registration, creation by name, its failures, and registration
// from another translation unit's static initializer.
#include "support/test_element.h"

#include <ostrelbase/xobjfactory.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <new>
#include <type_traits>

using Ostrel::XException;
using Ostrel::XObjectFactory;

static_assert(!std::is_default_constructible<XObjectFactory>::value,
              "the factory has static members only");

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

// The exception of action; its source file must be the factory's.
std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (XException& e) {
        EXPECT_NE(e.GetSourceFile().find("xobjfactory"), std::string::npos) << e.GetSourceFile();
        return e.GetMsg();
    }
    return "(no exception)";
}

} // namespace

TEST(Factory, StaticInitializerOfAnotherUnitRegistered) {
    EXPECT_EQ(tagOf("widget"), "widget");
    EXPECT_EQ(tagOf("gadget"), "gadget");
    // The map derived factories see is the one registration filled.
    EXPECT_EQ(InspectingFactory::map().count("widget"), 1u);
    EXPECT_EQ(InspectingFactory::map().count("gadget"), 1u);
}

TEST(Factory, CreatesANewObjectEachTime) {
    XObjectFactory::RegisterCreateFunction("first", createFirst);
    std::unique_ptr<Ostrel::XObject> a(XObjectFactory::CreateObject("first"));
    std::unique_ptr<Ostrel::XObject> b(XObjectFactory::CreateObject("first"));
    ASSERT_NE(a, nullptr);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->GetTag(), "first");
}

TEST(Factory, UnregisteredNameIsReported) {
    EXPECT_EQ(messageOf([] { XObjectFactory::CreateObject("never"); }),
              "Error: No registered create function was found for object 'never'");
    EXPECT_EQ(messageOf([] { XObjectFactory::CreateObject(""); }),
              "Error: No registered create function was found for object ''");
}

TEST(Factory, LatestRegistrationWins) {
    XObjectFactory::RegisterCreateFunction("twice", createFirst);
    XObjectFactory::RegisterCreateFunction("twice", createSecond);
    EXPECT_EQ(tagOf("twice"), "second");
    EXPECT_EQ(InspectingFactory::map().count("twice"), 1u);
}

TEST(Factory, EmptyNameIsRefusedBeforeANullFunction) {
    const auto size = InspectingFactory::map().size();
    EXPECT_EQ(messageOf([] { XObjectFactory::RegisterCreateFunction("", createFirst); }),
              "Error: Attempt made to register a create function without an object name");
    EXPECT_EQ(messageOf([] { XObjectFactory::RegisterCreateFunction("", nullptr); }),
              "Error: Attempt made to register a create function without an object name");
    EXPECT_EQ(InspectingFactory::map().size(), size);
}

TEST(Factory, NullFunctionIsRefused) {
    const auto size = InspectingFactory::map().size();
    EXPECT_EQ(messageOf([] { XObjectFactory::RegisterCreateFunction("nullfn", nullptr); }),
              "Error: Attempt made to register a null create function for 'nullfn'");
    EXPECT_EQ(InspectingFactory::map().size(), size);
    EXPECT_EQ(InspectingFactory::map().count("nullfn"), 0u);
    // A failed re-registration keeps the earlier function.
    XObjectFactory::RegisterCreateFunction("kept", createFirst);
    EXPECT_NE(messageOf([] { XObjectFactory::RegisterCreateFunction("kept", nullptr); }),
              "(no exception)");
    EXPECT_EQ(tagOf("kept"), "first");
}

TEST(Factory, NullFunctionPlacedByADerivedFactoryIsReported) {
    InspectingFactory::plant("planted", nullptr);
    EXPECT_EQ(messageOf([] { XObjectFactory::CreateObject("planted"); }),
              "Error: Null create function found for object 'planted'");
}

TEST(Factory, CreateFunctionReturningNullIsReported) {
    XObjectFactory::RegisterCreateFunction("empty", createNothing);
    EXPECT_EQ(messageOf([] { XObjectFactory::CreateObject("empty"); }),
              "Error: Unable to allocate memory for object 'empty'");
}

TEST(Factory, CreateFunctionExceptionPassesUnchanged) {
    XObjectFactory::RegisterCreateFunction("throws", createThrowing);
    try {
        XObjectFactory::CreateObject("throws");
        FAIL() << "no exception";
    } catch (XException& e) {
        EXPECT_EQ(e.GetMsg(), "Error: from the create function");
        EXPECT_EQ(e.GetSourceFile(), "gen.cpp");
        EXPECT_EQ(e.GetSourceLine(), 9);
    }
}

TEST(Factory, NamesAreCaseSensitive) {
    XObjectFactory::RegisterCreateFunction("lower", createFirst);
    EXPECT_EQ(messageOf([] { XObjectFactory::CreateObject("LOWER"); }),
              "Error: No registered create function was found for object 'LOWER'");
    EXPECT_EQ(messageOf([] { XObjectFactory::CreateObject("Lower"); }),
              "Error: No registered create function was found for object 'Lower'");
    EXPECT_EQ(tagOf("lower"), "first");
}
