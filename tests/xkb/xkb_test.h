// The XKB tests' helpers: documents of tests/data/xkb imported, elements written.
#ifndef OSTREL_TESTS_XKB_TEST_H
#define OSTREL_TESTS_XKB_TEST_H

#include "xkb/xkb_importer.h"

#include <memory>
#include <sstream>
#include <string>

namespace xkb_test {

const std::string kData = XKB_TEST_DATA;

// The registry of path (relative to tests/data/xkb unless absolute); throws the import error.
inline std::unique_ptr<xkb::xkbConfigRegistry> load(const std::string& path) {
    xkb::RegisterCreateFunctions();
    xkb::XkbImporter importer;
    importer.ImportFromFile(path[0] == '/' ? path : kData + "/" + path, true);
    return std::unique_ptr<xkb::xkbConfigRegistry>(importer.GetRegistry());
}

// Opens the attribute helpers, to spoil an element the way only a derived class can.
template <class T> struct Open : T {
    using T::getAttribute;
    using T::setAttribute;
};

inline std::unique_ptr<xkb::configItem> item(const std::string& name) {
    auto configItem = std::make_unique<xkb::configItem>();
    configItem->SetName(name);
    return configItem;
}

// What an element writes at the given level.
inline std::string emitted(Ostrel::XObject& element, int indent = 0) {
    std::ostringstream out;
    element.EmitXML(out, indent);
    return out.str();
}

} // namespace xkb_test

#endif
