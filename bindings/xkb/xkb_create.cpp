// One create function per element of the XKB registry, registered under its name.
#include "xkb/xkb_importer.h"
#include "xkb/xkb_schema.h"

#include <ostrelbase/xobjfactory.h>

#include <new>
#include <string>

namespace xkb {

namespace {

using schema::Kind;

// A new element; null when memory runs out.
template <class T>
Ostrel::XObject* create() {
    try {
        return new (std::nothrow) T;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// A new text leaf tagged with its element name; null when memory runs out.
template <Kind K>
Ostrel::XObject* createLeaf() {
    auto* leaf = new (std::nothrow) Ostrel::string;
    if (!leaf) return nullptr;
    try {
        // One of these is made per leaf an import reads: the tag string is made once.
        static const std::string tag(schema::nameOf(K));
        leaf->SetTag(tag);
    } catch (const std::bad_alloc&) {
        delete leaf;
        return nullptr;
    }
    return leaf;
}

struct Registration {
    Kind kind;
    Ostrel::XObject* (*function)();
};

const Registration kRegistrations[] = {
    {Kind::xkbConfigRegistry, create<xkbConfigRegistry>},
    {Kind::modelList, create<modelList>},
    {Kind::model, create<model>},
    {Kind::layoutList, create<layoutList>},
    {Kind::layout, create<layout>},
    {Kind::optionList, create<optionList>},
    {Kind::variantList, create<variantList>},
    {Kind::variant, create<variant>},
    {Kind::group, create<group>},
    {Kind::option, create<option>},
    {Kind::configItem, create<configItem>},
    {Kind::countryList, create<countryList>},
    {Kind::languageList, create<languageList>},
    {Kind::hwList, create<hwList>},
    {Kind::name, createLeaf<Kind::name>},
    {Kind::shortDescription, createLeaf<Kind::shortDescription>},
    {Kind::description, createLeaf<Kind::description>},
    {Kind::vendor, createLeaf<Kind::vendor>},
    {Kind::iso3166Id, createLeaf<Kind::iso3166Id>},
    {Kind::iso639Id, createLeaf<Kind::iso639Id>},
    {Kind::hwId, createLeaf<Kind::hwId>},
};

static_assert(sizeof kRegistrations / sizeof kRegistrations[0] == static_cast<int>(Kind::None),
              "one create function per element");

} // namespace

void RegisterCreateFunctions() {
    for (const Registration& registration : kRegistrations)
        Ostrel::XObjectFactory::RegisterCreateFunction(schema::nameOf(registration.kind),
                                                       registration.function);
}

} // namespace xkb
