// The symbol table as a fresh process finds it, before any call has changed it. One test
// only, in a program of its own: the state is process-wide.
#include <ostrelbase/symboltable.h>

#include <gtest/gtest.h>

#include <string>

TEST(SymbolTableAtStart, EmptyWithResolutionOnAndNoMessage) {
    EXPECT_EQ(SymbolGetCount(), 0);
    EXPECT_STREQ(SymbolGetLastError(), "");
    EXPECT_EQ(SymbolLookup("a"), 0);
    EXPECT_EQ(SymbolLookup(""), 0);
    EXPECT_EQ(SymbolGetEntry(0), nullptr);
    EXPECT_STREQ(SymbolGetLastError(), "");
    for (int index : {0, 1, 25000, 49999}) {
        EXPECT_EQ(SymbolGetToken(index), 0) << index;
        EXPECT_EQ(SymbolGetAssociatedIndex(index), 0) << index;
        EXPECT_EQ(SymbolGetAssociatedVal(index), nullptr) << index;
    }

    // Resolution is on, and nothing is defined yet.
    EXPECT_EQ(SymbolInsert("a&amp;b", 0), -1);
    EXPECT_STREQ(SymbolGetLastError(), "Entity reference amp undefined");
    EXPECT_EQ(SymbolGetCount(), 0);

    // The pool starts empty: strings of exactly 50,000 bytes fit without a reset.
    const std::string first(24999, 'f');   // 25,000 bytes with its terminator
    const std::string second(24998, 's');  // 24,999 bytes
    EXPECT_EQ(SymbolInsert(first.c_str(), 0), 1);
    EXPECT_EQ(SymbolInsert(second.c_str(), 0), 2);
    EXPECT_EQ(SymbolInsert("&#65;", 0), -1);  // "A" takes 2 bytes; 1 is left
    EXPECT_STREQ(SymbolGetLastError(), "Error: Lexemes array full\n");
    EXPECT_EQ(SymbolInsert("", 0), 3);
    EXPECT_EQ(SymbolInsert("", 0), -1);
    EXPECT_STREQ(SymbolGetLastError(), "Error: Lexemes array full\n");
    EXPECT_EQ(std::string(SymbolGetEntry(2)), second);
}
