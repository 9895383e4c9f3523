// The symbol-table scripts of tests/data/symboltable (table.txt's heading says how they
// read), run step by step against the process's table.
#ifndef OSTREL_TESTS_SYMBOL_SCRIPT_H
#define OSTREL_TESTS_SYMBOL_SCRIPT_H

#include "support/case_file.h"

#include <ostrelbase/symboltable.h>

#include <functional>
#include <string>

namespace ostrel_test {

// A text as the steps name it: quoted, or null.
inline std::string textOf(const char* s) { return s ? '"' + std::string(s) + '"' : "null"; }

// Steps the table does not know go to more, which says whether it took them.
inline void runScript(const std::string& path,
                      const std::function<bool(const std::vector<Field>&)>& more = nullptr) {
    for (const ostrel_test::Case& c : ostrel_test::readCases(path)) {
        SCOPED_TRACE(c.where);
        const auto& f = c.fields;
        std::size_t i = 1;
        bool null = false;
        auto number = [&] { return std::stoi(f.at(i++).text); };
        auto text = [&] { return textAt(f, i, &null); };
        auto expectText = [&](const char* got) {
            const std::string want = text();
            EXPECT_EQ(textOf(got), null ? "null" : textOf(want.c_str()));
        };
        const std::string& op = f[0].text;
        if (f[0].quoted) {  // an insertion with resolution as it stands, and what it stored
            i = 0;
            const std::string input = text();
            const int count = SymbolGetCount();
            const int index = SymbolInsert(input.c_str(), 0);
            if (f.at(i).is("error")) {
                ++i;
                EXPECT_EQ(index, -1);
                EXPECT_EQ(SymbolGetLastError(), text());
                EXPECT_EQ(SymbolGetCount(), count);
                continue;
            }
            const std::string expected = text();
            ASSERT_EQ(index, count + 1);
            EXPECT_EQ(SymbolGetEntry(index), expected);
            EXPECT_EQ(SymbolLookup(expected.c_str()), index);
        } else if (op == "define") {
            const std::string name = text(), value = text();
            const int n = SymbolInsert(name.c_str(), 0);  // a failed half associates nothing
            SymbolAssociate(n, SymbolInsert(value.c_str(), 0));
        } else if (op == "resolve") {
            SymbolResolveEntities(f[1].is("on") ? 1 : f[1].is("off") ? 0 : std::stoi(f[1].text));
            ++i;
        } else if (op == "reset") {
            EXPECT_EQ(SymbolResetTable(), 0);
        } else if (op == "insert") {
            const std::string input = text();
            const int token = number();
            EXPECT_EQ(SymbolInsert(null ? nullptr : input.c_str(), token), number());
        } else if (op == "fill") {  // N insertions, each with its index as token
            const int times = number();
            const std::string input = text();
            for (int next = SymbolGetCount() + 1, last = next + times; next < last; ++next)
                ASSERT_EQ(SymbolInsert(input.c_str(), next), next);
        } else if (op == "entry" || op == "assocval") {
            const int index = number();
            expectText(op == "entry" ? SymbolGetEntry(index) : SymbolGetAssociatedVal(index));
        } else if (op == "token" || op == "assoc") {
            const int index = number();
            EXPECT_EQ(op == "token" ? SymbolGetToken(index) : SymbolGetAssociatedIndex(index), number());
        } else if (op == "lookup") {
            const std::string input = text();
            EXPECT_EQ(SymbolLookup(null ? nullptr : input.c_str()), number());
        } else if (op == "count") {
            EXPECT_EQ(SymbolGetCount(), number());
        } else if (op == "associate") {
            const int index = number();
            SymbolAssociate(index, number());
        } else if (op == "error") {
            EXPECT_EQ(SymbolGetLastError(), text());
        } else if (op == "print") {
            testing::internal::CaptureStdout();
            SymbolPrintTable();
            EXPECT_EQ(testing::internal::GetCapturedStdout(), text());
        } else {
            EXPECT_TRUE(more && more(f)) << "unknown step";
            continue;
        }
        EXPECT_EQ(i, f.size()) << "fields left over";
    }
}

} // namespace ostrel_test

#endif
