// What the XKB tests share: the documents of tests/data/xkb and the edit scripts.
#ifndef OSTREL_TESTS_XKB_TEST_H
#define OSTREL_TESTS_XKB_TEST_H

#include "support/edits.h"
#include "xkb/xkb_importer.h"

#include <string>

namespace xkb_test {

using ostrel_test::elementOf;
const std::string kData = XKB_TEST_DATA;

} // namespace xkb_test

#endif
