// Out-of-memory paths of the attribute operations.
#include "support/failing_alloc.h"
#include "support/test_element.h"

#include <gtest/gtest.h>

using ostrel_test::Element;
using ostrel_test::failNthNothrowAllocation;

namespace {
std::string messageOf(void (*action)(Element&), Element& e) {
    try {
        action(e);
    } catch (Ostrel::XException& ex) {
        failNthNothrowAllocation(0);
        return ex.GetMsg();
    }
    failNthNothrowAllocation(0);
    return "";
}
} // namespace

TEST(AllocationFailure, MapAllocationLeavesNoMap) {
    Element e("e");
    // First non-throwing allocation is the clone, the second the map.
    failNthNothrowAllocation(2);
    EXPECT_EQ(messageOf([](Element& x) {
                  Ostrel::string v("1");
                  x.setAttribute("n", &v);
              }, e),
              "Error: Unable to allocate memory for an attributes map");
    EXPECT_EQ(e.attributes(), nullptr);
}

TEST(AllocationFailure, CloneFailureKeepsOldValue) {
    Element e("e");
    Ostrel::string v("old");
    e.setAttribute("n", &v);
    failNthNothrowAllocation(1);
    EXPECT_EQ(messageOf([](Element& x) {
                  Ostrel::string w("new");
                  x.setAttribute("n", &w);
              }, e),
              "Error: Unable to allocate memory for an attribute");
    auto* kept = dynamic_cast<const Ostrel::string*>(e.getAttribute("n"));
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(std::string(*kept), "old");
}

TEST(AllocationFailure, CopyFailsAtEveryStepWithoutLeaking) {
    Element src("s");
    Ostrel::string v("1");
    for (const char* name : {"a", "b", "c"}) src.setAttribute(name, &v);
    // map, then three clones: every one of them may fail.
    for (int n = 1; n <= 4; ++n) {
        failNthNothrowAllocation(n);
        EXPECT_THROW(Element copy(src), Ostrel::XException) << "allocation " << n;
        failNthNothrowAllocation(0);
    }
    std::unique_ptr<Ostrel::XObject> ok(src.clone());
    ASSERT_NE(ok, nullptr);
}

TEST(AllocationFailure, CloneReturnsNullWhenTheObjectCannotBeAllocated) {
    Ostrel::string s("x");
    failNthNothrowAllocation(1);
    Ostrel::XObject* copy = s.clone();
    failNthNothrowAllocation(0);
    EXPECT_EQ(copy, nullptr);
}
