// The symbol table, driven by the scripts of data/symboltable, plus what a script cannot
// say: pointers kept across calls and C callers (their link shows the names undecorated).
#include "support/symbol_script.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

extern "C" int ostrel_c_symbol_roundtrip(void);

namespace {

class SymbolTable : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        SymbolResetTable();
        SymbolResolveEntities(1);
    }
};

} // namespace

// Run alone, by the CTest test test_symboltable_initial: the state is process-wide.
TEST(SymbolTableAtStart, AsTheScriptSays) { ostrel_test::runScript(OSTREL_SYMBOLTABLE_DATA "/initial.txt"); }

TEST_F(SymbolTable, AsTheScriptsSay) {
    for (const char* script : {"/table.txt", "/resolve.txt"})
        ostrel_test::runScript(OSTREL_SYMBOLTABLE_DATA + std::string(script));
}

// What a script cannot say: texts from the table itself, a caller's strtok sequence, C callers.
TEST_F(SymbolTable, PointersFromTheTableStrtokAndC) {
    SymbolInsert("overlapping text", 0);
    const char* old = SymbolGetEntry(1);
    SymbolResetTable();
    SymbolResolveEntities(0);
    ASSERT_EQ(SymbolInsert(old, 0), 1);  // target and source overlap in the pool
    EXPECT_STREQ(SymbolGetEntry(1), "overlapping text");
    SymbolResolveEntities(1);
    EXPECT_EQ(SymbolInsert("x&", 0), -1);
    const std::string first = SymbolGetLastError();
    EXPECT_EQ(SymbolInsert(SymbolGetLastError(), 0), -1);
    EXPECT_EQ(std::string(SymbolGetLastError()), "Problem with entity reference " + first);
    SymbolAssociate(SymbolInsert("lt", 0), SymbolInsert("<", 0));
    char list[] = "one,two,three";
    ASSERT_STREQ(std::strtok(list, ","), "one");
    EXPECT_STREQ(SymbolGetEntry(SymbolInsert("a&lt;b;c&#65;;d", 0)), "a<b;cA;d");
    EXPECT_STREQ(std::strtok(nullptr, ","), "two");
    EXPECT_EQ(ostrel_c_symbol_roundtrip(), 0);
}
