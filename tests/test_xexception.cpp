// The exception: its default, its location text, copies, and the throw site it records.
#include <ostrelbase/ostrelexcept.h>

#include <gtest/gtest.h>

using Ostrel::XException;

TEST(XException, DefaultNamesTheExceptionHeader) {
    XException e;
    EXPECT_EQ(e.GetMsg(), "No error message found.");
    EXPECT_EQ(e.GetErrorLocation(), "Error in '.\\ostrelexcept.h', line 49.");
}

TEST(XException, LocationNeverHoldsTheMessage) {
    XException e("Error: x", "main.cpp", -17);
    EXPECT_EQ(e.GetErrorLocation(), "Error in 'main.cpp', line -17.");
    EXPECT_EQ(e.GetMsg(), "Error: x");
}

TEST(XException, AssignmentCopiesEveryField) {
    XException copy(XException("Error: one", "a.cpp", 1)), assigned;
    XException& self = assigned;
    assigned = copy;
    assigned = self;
    EXPECT_EQ(assigned.GetMsg(), "Error: one");
    EXPECT_EQ(assigned.GetErrorLocation(), "Error in 'a.cpp', line 1.");
}

TEST(XException, ThrowMacroRecordsTheThrowSite) {
    int line = 0;
    try {
        line = __LINE__ + 1;
        OSTREL_THROW(std::string("Error: thrown"));
    } catch (XException& e) {
        EXPECT_EQ(e.GetMsg(), "Error: thrown");
        EXPECT_EQ(e.GetSourceLine(), line);
        EXPECT_NE(e.GetSourceFile().find("test_xexception.cpp"), std::string::npos);
    }
}
