// The exception: its default, its location text, assignment, and the throw site it records.
#include <ostrelbase/ostrelexcept.h>

#include <gtest/gtest.h>

using Ostrel::XException;

TEST(XException, DefaultAssignmentAndThrowSite) {
    XException e;
    EXPECT_EQ(e.GetMsg() + e.GetErrorLocation(), "No error message found.Error in '.\\ostrelexcept.h', line 49.");
    int line = 0;
    try {
        line = __LINE__ + 1;
        OSTREL_THROW(std::string("Error: thrown"));
    } catch (XException& thrown) {
        e = thrown;
    }
    EXPECT_EQ(e.GetMsg(), "Error: thrown");  // the location never holds the message
    EXPECT_EQ(e.GetErrorLocation(), "Error in '" + std::string(__FILE__) + "', line " + std::to_string(line) + ".");
}
