// The XKB classes when memory runs out while copying: clone gives null for the object
// itself, an XException naming the element for anything below it, and nothing leaks.
#include "support/failing_alloc.h"
#include "xkb_test.h"

#include <gtest/gtest.h>

using ostrel_test::failNthNothrowAllocation;

TEST(XkbOutOfMemory, EveryFailureWhileCloningIsReportedAndFreed) {
    auto registry = xkb_test::load("built.xml");
    const std::string form = xkb_test::emitted(*registry);
    failNthNothrowAllocation(1);
    EXPECT_EQ(registry->clone(), nullptr);  // the object itself cannot be had
    int failures = 0;
    for (int n = 2;; ++n) {
        failNthNothrowAllocation(n);
        std::unique_ptr<Ostrel::XObject> copy;
        std::string message;
        try {
            copy.reset(registry->clone());
        } catch (const Ostrel::XException& e) {
            message = e.GetMsg();
        }
        failNthNothrowAllocation(0);
        if (copy) {
            EXPECT_EQ(xkb_test::emitted(*copy), form);
            break;
        }
        ++failures;
        EXPECT_EQ(message.rfind("Error: Unable to allocate memory for ", 0), 0u) << message;
    }
    EXPECT_GT(failures, 20);  // every element and attribute value of the tree
    EXPECT_EQ(xkb_test::emitted(*registry), form);
}

TEST(XkbOutOfMemory, AFailedChildCopyNamesTheElement) {
    xkb::model model;
    model.SetConfigItem(xkb_test::item("pc105"));
    failNthNothrowAllocation(2);  // the model is the first, its configItem the second
    try {
        std::unique_ptr<Ostrel::XObject> copy(model.clone());
        ADD_FAILURE() << "the copy succeeded";
    } catch (const Ostrel::XException& e) {
        EXPECT_EQ(e.GetMsg(), "Error: Unable to allocate memory for element 'configItem'");
    }
    failNthNothrowAllocation(0);
}
