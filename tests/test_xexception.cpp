// The exception: its default, its location text, copies, and the throw site it records.
#include <ostrelbase/ostrelexcept.h>

#include <gtest/gtest.h>

using Ostrel::XException;

TEST(XException, DefaultLocationAndCopies) {
    XException e;
    EXPECT_EQ(e.GetMsg(), "No error message found.");
    EXPECT_EQ(e.GetErrorLocation(), "Error in '.\\ostrelexcept.h', line 49.");
    // The location never holds the message; assignment copies every field.
    XException copy(XException("Error: one", "a.cpp", -17)), &self = e;
    e = copy;
    e = self;
    EXPECT_EQ(e.GetMsg(), "Error: one");
    EXPECT_EQ(e.GetErrorLocation(), "Error in 'a.cpp', line -17.");
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
