// The symbol table, driven by the scripts of data/symboltable, plus what a script cannot
// say: pointers kept across calls, C callers (their link shows the names undecorated), and
// the lookup index against a scan.
#include "support/symbol_script.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
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

// SymbolLookup answers as a newest-first scan does, through duplicates, resets, failed
// insertions and a full pool. Run by the CTest test test_symboltable_index.
TEST(SymbolLookupIndex, AgreesWithAScanThroughRandomWork) {
    auto scan = [](const std::string& text) {
        for (int i = SymbolGetCount(); i >= 1; --i)
            if (text == SymbolGetEntry(i)) return i;
        return 0;
    };
    std::mt19937 random(12345);
    std::vector<std::string> words{"", "a", "b", "ab", "ba", "name", "lt", "&lt;", "x&y;", "amp"};
    for (int i = 0; i < 40; ++i) words.push_back("w" + std::to_string(i));
    SymbolResetTable();
    for (int step = 0; step < 20000; ++step) {
        const unsigned action = random() % 100;
        const std::string& word = words[random() % words.size()];
        SymbolResolveEntities(action < 10);  // "&lt;" and "x&y;" fail unless lt/y are defined
        if (action == 0) {
            SymbolResetTable();
        } else if (action < 60) {
            if (SymbolInsert(word.c_str(), step) == -1 && action >= 10) SymbolResetTable();  // pool full
        } else if (action < 65) {
            const int name = SymbolLookup(word.c_str());
            if (name > 0) SymbolAssociate(name, SymbolInsert("<", 0));
        } else {
            ASSERT_EQ(SymbolLookup(word.c_str()), scan(word)) << "step " << step;
        }
    }
    for (const auto& word : words) EXPECT_EQ(SymbolLookup(word.c_str()), scan(word));
    SymbolResetTable();
    SymbolResolveEntities(1);
}
