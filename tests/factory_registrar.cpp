// Registers create functions from static initializers of its own translation unit, as
// generated code does; nothing orders them against the library's initialization.
#include "support/test_element.h"

#include <ostrelbase/xobjfactory.h>

#include <new>

namespace {

Ostrel::XObject* createWidget() { return new (std::nothrow) ostrel_test::Element("widget"); }
Ostrel::XObject* createGadget() { return new (std::nothrow) ostrel_test::Element("gadget"); }

struct Registrar {
    Registrar() {
        Ostrel::XObjectFactory::RegisterCreateFunction("widget", createWidget);
        Ostrel::XObjectFactory::RegisterCreateFunction("gadget", createGadget);
    }
} registrar;

} // namespace
