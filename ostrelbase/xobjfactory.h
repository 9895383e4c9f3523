// XObjectFactory: the process-wide registry that turns an element name into a new object.
#ifndef OSTREL_XOBJFACTORY_H
#define OSTREL_XOBJFACTORY_H

#include <ostrelbase/ostrelexcept.h>
#include <ostrelbase/ostrelexport.h>

#include <map>
#include <string>

namespace Ostrel {

class XObject;

// Makes a new object owned by the caller; null when no memory can be had.
typedef XObject* (*CreateFunction)();

// Static members only; no instance can be made. Register every name before concurrent
// use: nothing is locked.
class OSTREL_API XObjectFactory {
public:
    // Name -> create function, names in byte order, case-sensitive.
    typedef std::map<std::string, CreateFunction> CreateFuncMap;

    // Enters function under name, replacing an earlier one; usable from any static
    // initializer. Throws XException for an empty name, then for a null function.
    static void RegisterCreateFunction(std::string name, CreateFunction function);
    // A new object from the function registered under name, owned by the caller. Throws
    // XException when none is registered, it is null, or it returns null; the function's
    // own exceptions pass unchanged.
    static XObject* CreateObject(std::string name);

    // Nothing to copy.
    XObjectFactory& operator=(const XObjectFactory& other);

protected:
    // The registry itself, for derived factories. It is made on first use; this reference
    // to it is bound while the library initializes, so use it from main on (from static
    // initializers, go through RegisterCreateFunction and CreateObject).
    static CreateFuncMap& m_createFuncMap;

private:
    XObjectFactory();
};

} // namespace Ostrel

#endif
