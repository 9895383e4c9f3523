// The symbol table: interning, associations, reference resolution, limits and bounds.
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

TEST_F(SymbolTable, InsertionNumbersEntriesAndKeepsTokens) {
    EXPECT_EQ(SymbolInsert("alpha", 7), 1);
    EXPECT_EQ(SymbolInsert("beta", -3), 2);
    EXPECT_EQ(SymbolGetCount(), 2);
    EXPECT_STREQ(SymbolGetEntry(1), "alpha");
    EXPECT_STREQ(SymbolGetEntry(2), "beta");
    EXPECT_EQ(SymbolGetToken(1), 7);
    EXPECT_EQ(SymbolGetToken(2), -3);
    EXPECT_EQ(SymbolGetAssociatedIndex(2), 0);
    EXPECT_EQ(SymbolGetAssociatedVal(2), nullptr);
}

TEST_F(SymbolTable, SameTextTwiceGivesTwoEntriesAndLookupFindsTheNewer) {
    EXPECT_EQ(SymbolInsert("x", 1), 1);
    EXPECT_EQ(SymbolInsert("y", 2), 2);
    EXPECT_EQ(SymbolInsert("x", 3), 3);
    EXPECT_EQ(SymbolLookup("x"), 3);
    EXPECT_EQ(SymbolLookup("y"), 2);
}

TEST_F(SymbolTable, LookupIsExactCaseSensitiveAndUnresolved) {
    define("lt", "<");
    SymbolInsert("Name", 0);
    EXPECT_EQ(SymbolLookup("name"), 0);
    EXPECT_EQ(SymbolLookup("Nam"), 0);
    EXPECT_EQ(SymbolLookup("Names"), 0);
    EXPECT_EQ(SymbolLookup("Name"), 3);
    EXPECT_EQ(SymbolLookup("&lt;"), 0);  // the argument is compared as passed
    EXPECT_EQ(SymbolLookup("<"), 2);
    EXPECT_EQ(SymbolLookup(nullptr), 0);
    SymbolResetTable();
    EXPECT_EQ(SymbolLookup("Name"), 0);
    EXPECT_EQ(SymbolLookup(""), 0);
}

TEST_F(SymbolTable, EmptyTextIsAnEntry) {
    EXPECT_EQ(SymbolInsert("", 4), 1);
    EXPECT_STREQ(SymbolGetEntry(1), "");
    EXPECT_EQ(SymbolLookup(""), 1);
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

TEST_F(SymbolTable, AssociationLinksEntries) {
    SymbolInsert("name", 0);
    SymbolInsert("text", 0);
    SymbolAssociate(1, 2);
    EXPECT_EQ(SymbolGetAssociatedIndex(1), 2);
    EXPECT_STREQ(SymbolGetAssociatedVal(1), "text");
    SymbolAssociate(1, 0);
    EXPECT_EQ(SymbolGetAssociatedVal(1), nullptr);
}

TEST_F(SymbolTable, AssociationMadeBeforeTheEntryExistsIsKept) {
    SymbolAssociate(3, 1);
    SymbolInsert("a", 0);
    SymbolInsert("b", 0);
    SymbolInsert("c", 0);
    EXPECT_EQ(SymbolGetAssociatedIndex(3), 1);
    EXPECT_STREQ(SymbolGetAssociatedVal(3), "a");
}

TEST_F(SymbolTable, IndicesOutsideTheTableAreHarmless) {
    SymbolInsert("a", 5);
    SymbolInsert("b", 6);
    SymbolAssociate(1, 2);
    for (int bad : {-1, 50000, INT_MIN, INT_MAX}) {
        SymbolAssociate(bad, 1);
        SymbolAssociate(1, bad);  // would make entry 1 point outside the table
        EXPECT_EQ(SymbolGetAssociatedIndex(bad), 0) << bad;
        EXPECT_EQ(SymbolGetAssociatedVal(bad), nullptr) << bad;
        EXPECT_EQ(SymbolGetToken(bad), 0) << bad;
    }
    EXPECT_EQ(SymbolGetAssociatedIndex(1), 2);
    EXPECT_EQ(SymbolGetToken(49999), 0);
    SymbolAssociate(49999, 1);
    EXPECT_EQ(SymbolGetAssociatedIndex(49999), 1);
}

TEST_F(SymbolTable, AssociationToAnEmptySlotGivesNull) {
    SymbolInsert("a", 0);
    SymbolAssociate(1, 40000);
    EXPECT_EQ(SymbolGetAssociatedIndex(1), 40000);
    EXPECT_EQ(SymbolGetAssociatedVal(1), nullptr);
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

// --- character references ---------------------------------------------------------

TEST_F(SymbolTable, CharacterReferences) {
    EXPECT_EQ(stored("&#65;"), "A");
    EXPECT_EQ(stored("&#x41;"), "A");
    EXPECT_EQ(stored("&#X41;"), "\\x00");  // only a lower-case x means hexadecimal
    EXPECT_EQ(stored("&#10;"), "\\x0A");
    EXPECT_EQ(stored("&#256;"), "\\x01\\x00");
    EXPECT_EQ(stored("&#233;"), "\\xE9");
    EXPECT_EQ(stored("&#x1F600;"), "\\xF6\\x00");  // bits above 15 are lost
    EXPECT_EQ(stored("&#31;&#32;&#126;&#127;"), "\\x1F ~\\x7F");
    EXPECT_EQ(stored("&#-1;"), "\\xFF");
    EXPECT_EQ(stored("&#;"), "\\x00");
    EXPECT_EQ(stored("&#x;"), "\\x00");
    EXPECT_EQ(stored("&#66abc;"), "B");  // reading stops at the first non-digit
    EXPECT_EQ(stored("a&#65;b&#x42;c"), "aAbBc");
    EXPECT_EQ(stored("x&#65"), "xA");  // ended by the end of the text
}

TEST_F(SymbolTable, AmpersandReferenceStartsANewReference) {
    define("lt", "<");
    EXPECT_EQ(stored("&#38;lt;"), "<");
    EXPECT_EQ(stored("&#38;#38;"), "&");
    EXPECT_EQ(stored("a&#38;#38;b&#38;lt;c"), "a&b<c");
    EXPECT_EQ(stored("a&#38;"), "-1: Problem with entity reference a&#38;");
    // Ended by the end of the text: the '&' it makes has no name behind it either, and
    // what an earlier, longer text left behind the end is not read.
    EXPECT_EQ(stored("012345lt;"), "012345lt;");
    EXPECT_EQ(stored("a&#38"), "-1: Problem with entity reference a&#38");
    EXPECT_EQ(stored("&#x26;gt;"), "-1: Entity reference gt undefined");
}

// --- named references ---------------------------------------------------------------

TEST_F(SymbolTable, NamedReferencesAreReplacedOnce) {
    define("lt", "<");
    SymbolResolveEntities(0);
    define("x", "&lt;");
    SymbolResolveEntities(1);
    EXPECT_EQ(stored("a&lt;b"), "a<b");
    EXPECT_EQ(stored("&x;"), "&lt;");  // the replacement is not scanned again
    EXPECT_EQ(stored("&lt;&lt;"), "<<");
    EXPECT_EQ(stored("&lt"), "<");  // ended by the end of the text
}

TEST_F(SymbolTable, ParameterEntityIsFramedBySpaces) {
    define("%pe", "x");
    EXPECT_EQ(stored("&%pe;"), " x ");
    EXPECT_EQ(stored("a&%pe;b"), "a x b");
    EXPECT_EQ(stored("&%none;"), "-1: Entity reference %none undefined");
}

TEST_F(SymbolTable, UndefinedReferenceFailsAndChangesNothing) {
    SymbolInsert("kept", 0);
    EXPECT_EQ(stored("a&amp;b"), "-1: Entity reference amp undefined");
    EXPECT_EQ(SymbolGetCount(), 1);
    EXPECT_EQ(stored("more"), "more");
    EXPECT_EQ(SymbolGetCount(), 2);
    EXPECT_STREQ(SymbolGetEntry(1), "kept");
}

TEST_F(SymbolTable, NameWithoutAssociationIsUndefined) {
    SymbolInsert("plain", 0);
    EXPECT_EQ(stored("&plain;"), "-1: Entity reference plain undefined");
    // A newer string equal to an entity's name hides the entity.
    define("lt", "<");
    SymbolInsert("lt", 0);
    EXPECT_EQ(stored("&lt;"), "-1: Entity reference lt undefined");
}

TEST_F(SymbolTable, AmpersandWithoutNameIsAProblem) {
    EXPECT_EQ(stored("a&;"), "-1: Problem with entity reference a&;");
    EXPECT_EQ(stored("a&"), "-1: Problem with entity reference a&");
    EXPECT_EQ(stored("&;;;"), "-1: Problem with entity reference &;;;");
    EXPECT_EQ(SymbolGetCount(), 0);
}

TEST_F(SymbolTable, SemicolonsBeforeTheNameAreSkipped) {
    define("lt", "<");
    EXPECT_EQ(stored("a&;lt;b"), "a<b");
    EXPECT_EQ(stored("&;;lt"), "<");
}

TEST_F(SymbolTable, ResolutionOffStoresTextUnchanged) {
    SymbolResolveEntities(0);
    EXPECT_EQ(stored("&amp;&#65;&"), "&amp;&#65;&");
    SymbolResolveEntities(42);  // any nonzero value is on
    EXPECT_EQ(stored("&#65;"), "A");
}

TEST_F(SymbolTable, ACallersStrtokSequenceIsUndisturbed) {
    define("lt", "<");
    char list[] = "one,two,three";
    ASSERT_STREQ(std::strtok(list, ","), "one");
    EXPECT_EQ(stored("a&lt;b;c&#65;;d"), "a<b;cA;d");
    EXPECT_STREQ(std::strtok(nullptr, ","), "two");
    EXPECT_STREQ(std::strtok(nullptr, ","), "three");
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

TEST_F(SymbolTable, PrintingAnEmptyTableGivesTheHeadingOnly) {
    testing::internal::CaptureStdout();
    SymbolPrintTable();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\nFinal Symbol Table\n"
              "Index     Token     Symbol Name             Association\n");
}

TEST_F(SymbolTable, PrintingListsEveryEntry) {
    SymbolInsert("lt", 7);
    SymbolInsert("<", 1234);
    SymbolAssociate(1, 2);
    SymbolInsert("a name longer than twenty", -5);
    testing::internal::CaptureStdout();
    SymbolPrintTable();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\nFinal Symbol Table\n"
              "Index     Token     Symbol Name             Association\n"
              "  1       7                        lt       2\n"
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
