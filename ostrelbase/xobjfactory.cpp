// XObjectFactory: registration and creation by name.
#include <ostrelbase/xobjfactory.h>

namespace Ostrel {

namespace {

// Built on first use, so registrations from static initializers of any translation unit
// find it, whatever the order in which those run.
XObjectFactory::CreateFuncMap& createFuncMap() {
    static XObjectFactory::CreateFuncMap map;
    return map;
}

} // namespace

XObjectFactory::CreateFuncMap& XObjectFactory::m_createFuncMap = createFuncMap();

XObjectFactory::XObjectFactory() {}

XObjectFactory& XObjectFactory::operator=(const XObjectFactory&) { return *this; }

void XObjectFactory::RegisterCreateFunction(std::string name, CreateFunction function) {
    if (name.empty())
        OSTREL_THROW("Error: Attempt made to register a create function without an object name");
    if (function == nullptr)
        OSTREL_THROW("Error: Attempt made to register a null create function for '" + name + "'");
    createFuncMap()[name] = function;
}

XObject* XObjectFactory::CreateObject(std::string name) {
    const CreateFuncMap& map = createFuncMap();
    const auto it = map.find(name);
    if (it == map.end())
        OSTREL_THROW("Error: No registered create function was found for object '" + name + "'");
    if (it->second == nullptr)
        OSTREL_THROW("Error: Null create function found for object '" + name + "'");
    XObject* object = it->second();
    if (object == nullptr)
        OSTREL_THROW("Error: Unable to allocate memory for object '" + name + "'");
    return object;
}

} // namespace Ostrel
