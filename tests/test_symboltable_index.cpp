// SymbolLookup answers exactly as a newest-first scan of the table does, through
// duplicates, resets, failed insertions and a full table.
#include <ostrelbase/symboltable.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

int scanNewestFirst(const std::string& text) {
    for (int i = SymbolGetCount(); i >= 1; --i)
        if (text == SymbolGetEntry(i)) return i;
    return 0;
}

} // namespace

TEST(SymbolLookupIndex, AgreesWithAScanThroughRandomWork) {
    std::mt19937 random(12345);
    std::vector<std::string> words{"", "a", "b", "ab", "ba", "name", "lt", "&lt;", "x&y;", "amp"};
    for (int i = 0; i < 40; ++i) words.push_back("w" + std::to_string(i));
    SymbolResetTable();
    for (int step = 0; step < 20000; ++step) {
        const unsigned action = random() % 100;
        const std::string& word = words[random() % words.size()];
        if (action == 0) {
            SymbolResetTable();
        } else if (action < 10) {
            SymbolResolveEntities(1);  // "&lt;" and "x&y;" fail unless lt/y are defined
            SymbolInsert(word.c_str(), step);
            SymbolResolveEntities(0);
        } else if (action < 60) {
            SymbolResolveEntities(0);
            if (SymbolInsert(word.c_str(), step) == -1) SymbolResetTable();  // pool full
        } else if (action < 65) {
            const int name = SymbolLookup(word.c_str());
            if (name > 0) SymbolAssociate(name, SymbolInsert("<", 0));
        } else {
            ASSERT_EQ(SymbolLookup(word.c_str()), scanNewestFirst(word)) << "step " << step;
        }
    }
    for (const auto& word : words) EXPECT_EQ(SymbolLookup(word.c_str()), scanNewestFirst(word));
    SymbolResolveEntities(1);
}

TEST(SymbolLookupIndex, FullTableOfEqualStrings) {
    SymbolResetTable();
    SymbolResolveEntities(0);
    ASSERT_EQ(SymbolInsert("k", 1), 1);
    for (int i = 2; i < 50000; ++i) ASSERT_EQ(SymbolInsert("", 2), i);
    EXPECT_EQ(SymbolInsert("", 3), -1);
    EXPECT_EQ(SymbolLookup("k"), 1);
    EXPECT_EQ(SymbolLookup(""), 49999);
    EXPECT_EQ(SymbolLookup("absent"), 0);
    SymbolResetTable();
    EXPECT_EQ(SymbolLookup(""), 0);
    EXPECT_EQ(SymbolLookup("k"), 0);
    SymbolResolveEntities(1);
}
