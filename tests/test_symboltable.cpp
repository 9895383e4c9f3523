// The symbol table: interning, associations, reference resolution, limits and bounds.
#include "support/case_file.h"

#include <ostrelbase/symboltable.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#if defined(OSTREL_LIBRARY_FILE) && defined(_WIN32)
#include <windows.h>
#elif defined(OSTREL_LIBRARY_FILE)
#include <dlfcn.h>
#endif

extern "C" int ostrel_c_symbol_roundtrip(void);

namespace {

class SymbolTable : public ::testing::Test {
protected:
    void SetUp() override {
        SymbolResetTable();
        SymbolResolveEntities(1);
    }
    void TearDown() override {
        SymbolResetTable();
        SymbolResolveEntities(1);
    }
};

// What an insertion stored, or "-1: " and the reason.
std::string stored(const std::string& text) {
    const int index = SymbolInsert(text.c_str(), 0);
    if (index < 0) return "-1: " + std::string(SymbolGetLastError());
    return SymbolGetEntry(index);
}

// An entity the way the importer defines one: name entry associated with text entry.
void define(const char* name, const char* text) {
    const int n = SymbolInsert(name, 0);
    const int t = SymbolInsert(text, 0);
    ASSERT_GT(n, 0);
    ASSERT_GT(t, 0);
    SymbolAssociate(n, t);
}

std::string repeat(const std::string& piece, int times) {
    std::string s;
    for (int i = 0; i < times; ++i) s += piece;
    return s;
}

} // namespace

// --- interning and lookup --------------------------------------------------

TEST_F(SymbolTable, InsertionNumbersEntriesAndLookupFindsTheNewestExactText) {
    EXPECT_EQ(SymbolInsert("x", 7), 1);
    EXPECT_EQ(SymbolInsert("Name", -3), 2);
    EXPECT_EQ(SymbolInsert("x", 0), 3);
    EXPECT_EQ(SymbolGetCount(), 3);
    EXPECT_STREQ(SymbolGetEntry(2), "Name");
    EXPECT_EQ(SymbolGetToken(1), 7);
    EXPECT_EQ(SymbolGetToken(2), -3);
    EXPECT_EQ(SymbolGetAssociatedIndex(2), 0);
    EXPECT_EQ(SymbolGetAssociatedVal(2), nullptr);
    EXPECT_EQ(SymbolLookup("x"), 3);
    EXPECT_EQ(SymbolLookup("Name"), 2);
    for (const char* absent : {"name", "Nam", "Names", "", "&#120;"})
        EXPECT_EQ(SymbolLookup(absent), 0) << absent;  // compared as passed, unresolved
    EXPECT_EQ(SymbolLookup(nullptr), 0);
    SymbolResetTable();
    EXPECT_EQ(SymbolLookup("x"), 0);
}

TEST_F(SymbolTable, GetEntryRangeAndMessages) {
    SymbolInsert("a", 0);
    SymbolInsert("b", 0);
    SymbolGetEntry(-1);
    EXPECT_STREQ(SymbolGetLastError(), "Error: Invalid symbol table index '-1'\n");
    SymbolInsert("c", 0);  // success leaves the message
    EXPECT_STREQ(SymbolGetLastError(), "Error: Invalid symbol table index '-1'\n");
    EXPECT_EQ(SymbolGetEntry(0), nullptr);  // no message for index 0
    EXPECT_STREQ(SymbolGetLastError(), "Error: Invalid symbol table index '-1'\n");
    EXPECT_EQ(SymbolGetEntry(4), nullptr);
    EXPECT_STREQ(SymbolGetLastError(), "Error: Invalid symbol table index '4'\n");
    EXPECT_EQ(SymbolGetEntry(INT_MIN), nullptr);
    EXPECT_STREQ(SymbolGetLastError(), "Error: Invalid symbol table index '-2147483648'\n");
    EXPECT_EQ(SymbolGetEntry(49999), nullptr);
    EXPECT_STREQ(SymbolGetEntry(3), "c");
}

TEST_F(SymbolTable, NullInsertFailsWithAMessage) {
    EXPECT_EQ(SymbolInsert(nullptr, 1), -1);
    EXPECT_EQ(std::string(SymbolGetLastError()).rfind("Error: ", 0), 0u);
    EXPECT_NE(std::string(SymbolGetLastError()).find("null"), std::string::npos);
    SymbolResolveEntities(0);
    EXPECT_EQ(SymbolInsert(nullptr, 1), -1);
    EXPECT_EQ(SymbolGetCount(), 0);
}

// --- associations and out-of-range indices ---------------------------------

TEST_F(SymbolTable, AssociationsAndIndicesOutsideTheTable) {
    SymbolAssociate(3, 1);  // made before entry 3 exists, and kept
    SymbolInsert("name", 5);
    SymbolInsert("text", 6);
    SymbolInsert("c", 0);
    SymbolAssociate(1, 2);
    EXPECT_EQ(SymbolGetAssociatedIndex(1), 2);
    EXPECT_STREQ(SymbolGetAssociatedVal(1), "text");
    EXPECT_STREQ(SymbolGetAssociatedVal(3), "name");
    for (int bad : {-1, 50000, INT_MIN, INT_MAX}) {
        SymbolAssociate(bad, 1);
        SymbolAssociate(1, bad);  // would make entry 1 point outside the table
        EXPECT_EQ(SymbolGetAssociatedIndex(bad), 0) << bad;
        EXPECT_EQ(SymbolGetAssociatedVal(bad), nullptr) << bad;
        EXPECT_EQ(SymbolGetToken(bad), 0) << bad;
    }
    EXPECT_EQ(SymbolGetAssociatedIndex(1), 2);
    SymbolAssociate(49999, 1);
    EXPECT_EQ(SymbolGetAssociatedIndex(49999), 1);
    EXPECT_EQ(SymbolGetToken(49999), 0);
    SymbolAssociate(1, 40000);  // an empty slot
    EXPECT_EQ(SymbolGetAssociatedIndex(1), 40000);
    EXPECT_EQ(SymbolGetAssociatedVal(1), nullptr);
    SymbolAssociate(1, 0);
    EXPECT_EQ(SymbolGetAssociatedVal(1), nullptr);
    SymbolAssociate(0, 2);  // a name that is not in the table stays undefined
    EXPECT_EQ(stored("&absent;"), "-1: Entity reference absent undefined");
}

// --- reset ------------------------------------------------------------------

TEST_F(SymbolTable, ResetEmptiesTheTableButKeepsSwitchAndMessage) {
    SymbolInsert("a", 9);
    SymbolInsert("b", 0);
    SymbolAssociate(1, 2);
    SymbolAssociate(7, 1);
    const char* first = SymbolGetEntry(1);
    SymbolGetEntry(99);
    SymbolResolveEntities(0);
    EXPECT_EQ(SymbolResetTable(), 0);
    EXPECT_EQ(SymbolGetCount(), 0);
    EXPECT_EQ(SymbolLookup("a"), 0);
    EXPECT_EQ(SymbolGetToken(1), 0);
    EXPECT_EQ(SymbolGetAssociatedIndex(1), 0);
    EXPECT_EQ(SymbolGetAssociatedIndex(7), 0);
    EXPECT_STREQ(SymbolGetLastError(), "Error: Invalid symbol table index '99'\n");
    EXPECT_STREQ(stored("&amp;").c_str(), "&amp;");  // resolution still off
    EXPECT_EQ(SymbolGetEntry(1), first);             // the pool starts over
}

TEST_F(SymbolTable, TextFromBeforeAResetCanBeInsertedOverItself) {
    SymbolInsert("a", 0);
    SymbolInsert("overlapping text", 0);
    const char* old = SymbolGetEntry(2);
    SymbolResetTable();
    SymbolResolveEntities(0);
    ASSERT_EQ(SymbolInsert(old, 0), 1);  // target and source overlap in the pool
    EXPECT_STREQ(SymbolGetEntry(1), "overlapping text");
}

// --- capacity -----------------------------------------------------------------

TEST_F(SymbolTable, HoldsExactly49999Entries) {
    for (int i = 1; i <= 49999; ++i) ASSERT_EQ(SymbolInsert("", i), i);
    EXPECT_EQ(SymbolInsert("", 0), -1);
    EXPECT_STREQ(SymbolGetLastError(), "Error: Symbol table full\n");
    EXPECT_EQ(SymbolGetCount(), 49999);
    EXPECT_EQ(SymbolGetToken(49999), 49999);
    // The pool has one byte left, too small for "x": the full table is reported.
    EXPECT_EQ(SymbolInsert("x", 0), -1);
    EXPECT_STREQ(SymbolGetLastError(), "Error: Symbol table full\n");
}

TEST_F(SymbolTable, PoolHoldsExactly50000Bytes) {
    const std::string chunk(9999, 'p');  // 10,000 bytes with its terminator
    for (int i = 1; i <= 4; ++i) ASSERT_EQ(SymbolInsert(chunk.c_str(), 0), i);
    const std::string rest(9998, 'q');  // 9,999 bytes: one byte stays free
    ASSERT_EQ(SymbolInsert(rest.c_str(), 0), 5);
    EXPECT_EQ(SymbolInsert("r", 0), -1);
    EXPECT_STREQ(SymbolGetLastError(), "Error: Lexemes array full\n");
    EXPECT_EQ(SymbolGetCount(), 5);
    EXPECT_EQ(SymbolInsert("", 0), 6);  // the failure took nothing; the last byte fits
    EXPECT_EQ(SymbolInsert("", 0), -1);
    EXPECT_STREQ(SymbolGetLastError(), "Error: Lexemes array full\n");
    EXPECT_EQ(std::string(SymbolGetEntry(5)), rest);
}

// --- resolution: the cases of data/symboltable/resolve.txt ---------------------------------

TEST_F(SymbolTable, ResolvesAsTheCaseFileSays) {
    for (const ostrel_test::Case& c : ostrel_test::readCases(OSTREL_SYMBOLTABLE_DATA "/resolve.txt")) {
        SCOPED_TRACE(c.where);
        const auto& f = c.fields;
        if (f[0].is("define")) {
            ASSERT_EQ(f.size(), 3u);
            define(f[1].text.c_str(), f[2].text.c_str());
        } else if (f[0].is("resolve")) {
            SymbolResolveEntities(f[1].is("on") ? 1 : f[1].is("off") ? 0 : std::stoi(f[1].text));
        } else if (f[0].is("reset")) {
            SymbolResetTable();
        } else {
            ASSERT_TRUE(f[0].quoted && f.back().quoted);
            const int count = SymbolGetCount();
            const int index = SymbolInsert(f[0].text.c_str(), 0);
            if (f.size() == 3 && f[1].is("error")) {
                EXPECT_EQ(index, -1);
                EXPECT_STREQ(SymbolGetLastError(), f[2].text.c_str());
                EXPECT_EQ(SymbolGetCount(), count);
                continue;
            }
            ASSERT_EQ(f.size(), 2u);
            ASSERT_EQ(index, count + 1);
            EXPECT_EQ(SymbolGetEntry(index), f[1].text);
            EXPECT_EQ(SymbolLookup(f[1].text.c_str()), index);
        }
    }
}

TEST_F(SymbolTable, ACallersStrtokSequenceIsUndisturbed) {
    define("lt", "<");
    char list[] = "one,two,three";
    ASSERT_STREQ(std::strtok(list, ","), "one");
    EXPECT_EQ(stored("a&lt;b;c&#65;;d"), "a<b;cA;d");
    EXPECT_STREQ(std::strtok(nullptr, ","), "two");
}

TEST_F(SymbolTable, LastErrorItselfCanBeInserted) {
    EXPECT_EQ(SymbolInsert("x&", 0), -1);
    const std::string first = SymbolGetLastError();
    EXPECT_EQ(SymbolInsert(SymbolGetLastError(), 0), -1);
    EXPECT_EQ(std::string(SymbolGetLastError()), "Problem with entity reference " + first);
}

// --- bounds of the resolution buffers ------------------------------------------------

TEST_F(SymbolTable, TextOf31999CharactersIsResolvedAndOneMoreIsRefused) {
    const std::string fits(31999, 'a');
    EXPECT_EQ(stored(fits), fits);
    SymbolResetTable();
    const std::string tooLong(32000, 'a');
    EXPECT_EQ(SymbolInsert(tooLong.c_str(), 0), -1);
    EXPECT_STREQ(SymbolGetLastError(), "Error: Text to resolve longer than 31999 characters\n");
    EXPECT_EQ(SymbolGetCount(), 0);
    SymbolResolveEntities(0);  // without resolution only the pool limits it
    EXPECT_EQ(stored(tooLong), tooLong);
}

TEST_F(SymbolTable, ResultGrowingPast31999CharactersIsRefused) {
    // Each reference grows from 6 characters to 8.
    const std::string exact = repeat("&#256;", 3999) + "1234567";  // 31,992 + 7
    EXPECT_EQ(stored(exact), repeat("\\x01\\x00", 3999) + "1234567");
    SymbolResetTable();
    EXPECT_EQ(SymbolInsert((exact + "8").c_str(), 0), -1);
    EXPECT_STREQ(SymbolGetLastError(), "Error: Resolved text longer than 31999 characters\n");
    EXPECT_EQ(SymbolGetCount(), 0);
    // 31,992 characters, then an escape pair whose second half no longer fits.
    EXPECT_EQ(SymbolInsert(repeat("&#1;", 7998).append("&#300;").c_str(), 0), -1);
    EXPECT_STREQ(SymbolGetLastError(), "Error: Resolved text longer than 31999 characters\n");
}

TEST_F(SymbolTable, EntityExpansionPast31999CharactersIsRefused) {
    const std::string big(1000, 'b');
    define("big", big.c_str());
    define("%p", big.c_str());
    EXPECT_EQ(stored(repeat("&big;", 31) + std::string(999, 'c')).size(), 31999u);
    SymbolResetTable();
    define("big", big.c_str());
    define("%p", big.c_str());
    const int count = SymbolGetCount();
    EXPECT_EQ(SymbolInsert((repeat("&big;", 31) + std::string(1000, 'c')).c_str(), 0), -1);
    EXPECT_STREQ(SymbolGetLastError(), "Error: Resolved text longer than 31999 characters\n");
    EXPECT_EQ(SymbolInsert(repeat("&big;", 40).c_str(), 0), -1);
    // 31 framed replacements take 31,062 characters; the frame spaces count too.
    EXPECT_EQ(SymbolInsert((repeat("&%p;", 31) + std::string(937, 'c') + "&%p;").c_str(), 0), -1);
    EXPECT_STREQ(SymbolGetLastError(), "Error: Resolved text longer than 31999 characters\n");
    EXPECT_EQ(SymbolGetCount(), count);
}

TEST_F(SymbolTable, LongMessagesAreCutKeepingTheirBeginning) {
    const std::string text = std::string(31000, 'a') + "&";
    EXPECT_EQ(SymbolInsert(text.c_str(), 0), -1);
    const std::string problem = SymbolGetLastError();
    EXPECT_EQ(problem.size(), 1023u);
    EXPECT_EQ(problem, ("Problem with entity reference " + text).substr(0, 1023));

    const std::string name(5000, 'n');
    EXPECT_EQ(SymbolInsert(("&" + name + ";").c_str(), 0), -1);
    const std::string undefined = SymbolGetLastError();
    EXPECT_EQ(undefined.size(), 1023u);
    EXPECT_EQ(undefined, ("Entity reference " + name).substr(0, 1023));
}

// --- listing ---------------------------------------------------------------------------

TEST_F(SymbolTable, PrintingListsEveryEntry) {
    const std::string heading = "\nFinal Symbol Table\n"
                                "Index     Token     Symbol Name             Association\n";
    testing::internal::CaptureStdout();
    SymbolPrintTable();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), heading);
    SymbolInsert("lt", 7);
    SymbolInsert("<", 1234);
    SymbolAssociate(1, 2);
    SymbolInsert("a name longer than twenty", -5);
    testing::internal::CaptureStdout();
    SymbolPrintTable();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              heading + "  1       7                        lt       2\n"
                        "  2     1234                         <       0\n"
                        "  3      -5      a name longer than twenty       0\n");
}

// --- the plain C interface ----------------------------------------------------------------

TEST_F(SymbolTable, UsableFromC) { EXPECT_EQ(ostrel_c_symbol_roundtrip(), 0); }

TEST(SymbolTableExports, TwelveUndecoratedNamesInTheSharedLibrary) {
#if !defined(OSTREL_LIBRARY_FILE)
    GTEST_SKIP() << "static library: no dynamic symbol table";
#else
#if defined(_WIN32)
    HMODULE library = GetModuleHandleA(OSTREL_LIBRARY_FILE);
    ASSERT_NE(library, nullptr);
    auto exported = [&](const char* name) { return GetProcAddress(library, name) != nullptr; };
#else
    void* library = dlopen(OSTREL_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto exported = [&](const char* name) { return dlsym(library, name) != nullptr; };
    // The process links the same library: the name leads to the function it calls.
    EXPECT_EQ(dlsym(library, "SymbolInsert"), reinterpret_cast<void*>(&SymbolInsert));
#endif
    const char* names[] = {"SymbolLookup",          "SymbolInsert",
                           "SymbolAssociate",       "SymbolGetEntry",
                           "SymbolGetAssociatedIndex", "SymbolGetAssociatedVal",
                           "SymbolGetToken",        "SymbolGetCount",
                           "SymbolResetTable",      "SymbolResolveEntities",
                           "SymbolGetLastError",    "SymbolPrintTable"};
    for (const char* name : names) EXPECT_TRUE(exported(name)) << name;
    // The resolution and the storage stay inside.
    for (const char* hidden : {"ResolveEntityReferences", "symbolTable", "lexemes", "lastError"})
        EXPECT_FALSE(exported(hidden)) << hidden;
#if !defined(_WIN32)
    dlclose(library);
#endif
#endif
}
