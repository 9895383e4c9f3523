#include <ostrelbase/ostrelexcept.h>

#include <gtest/gtest.h>

using Ostrel::XException;

TEST(XException, DefaultNamesTheExceptionHeader) {
    XException e;
    EXPECT_EQ(e.GetMsg(), "No error message found.");
    EXPECT_EQ(e.GetSourceFile(), ".\\ostrelexcept.h");
    EXPECT_EQ(e.GetSourceLine(), 49);
}

TEST(XException, ErrorLocationFormats) {
    XException e("Error: x", "main.cpp", 42);
    EXPECT_EQ(e.GetErrorLocation(), "Error in 'main.cpp', line 42.");
    EXPECT_EQ(e.GetMsg(), "Error: x");  // the location never includes the message

    XException empty("m", "", 0);
    EXPECT_EQ(empty.GetErrorLocation(), "Error in '', line 0.");
    XException negative("m", "f.cpp", -17);
    EXPECT_EQ(negative.GetErrorLocation(), "Error in 'f.cpp', line -17.");
}

TEST(XException, CopiesAreIndependent) {
    XException original("Error: one", "a.cpp", 1);
    XException copy(original);
    copy.SetMsg("Error: two");
    copy.SetSourceFile("b.cpp");
    copy.SetSourceLine(2);
    EXPECT_EQ(original.GetMsg(), "Error: one");
    EXPECT_EQ(original.GetSourceFile(), "a.cpp");
    EXPECT_EQ(original.GetSourceLine(), 1);

    XException assigned;
    assigned = copy;
    EXPECT_EQ(assigned.GetMsg(), "Error: two");
    EXPECT_EQ(assigned.GetSourceFile(), "b.cpp");
    EXPECT_EQ(assigned.GetSourceLine(), 2);
}

TEST(XException, SelfAssignmentKeepsFields) {
    XException e("Error: self", "s.cpp", 7);
    XException& alias = e;
    e = alias;
    EXPECT_EQ(e.GetMsg(), "Error: self");
    EXPECT_EQ(e.GetSourceFile(), "s.cpp");
    EXPECT_EQ(e.GetSourceLine(), 7);
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
