// The XKB tests' helpers: documents of tests/data/xkb imported, leaves made.
#ifndef OSTREL_TESTS_XKB_TEST_H
#define OSTREL_TESTS_XKB_TEST_H

#include "support/edits.h"
#include "xkb/xkb_importer.h"

#include <memory>
#include <string>

namespace xkb_test {

using ostrel_test::elementOf;
const std::string kData = XKB_TEST_DATA;

// The registry of path (relative to tests/data/xkb unless absolute); throws the import error.
inline std::unique_ptr<xkb::xkbConfigRegistry> load(const std::string& path) {
    xkb::RegisterCreateFunctions();
    xkb::XkbImporter importer;
    importer.ImportFromFile(path[0] == '/' ? path : kData + "/" + path, true);
    return std::unique_ptr<xkb::xkbConfigRegistry>(importer.GetRegistry());
}

inline std::unique_ptr<xkb::configItem> item(const std::string& name) {
    auto configItem = std::make_unique<xkb::configItem>();
    configItem->SetName(name);
    return configItem;
}

} // namespace xkb_test

#endif
