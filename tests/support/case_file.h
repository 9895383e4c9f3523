// Case files under tests/data: one case a line, its fields parted by blanks. A field is a
// word or a "quoted" text with the escapes \t \n \r \f \0 \\ \"; blank lines and lines
// that start with '#' are no cases.
#ifndef OSTREL_TESTS_CASE_FILE_H
#define OSTREL_TESTS_CASE_FILE_H

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace ostrel_test {

struct Field {
    std::string text;
    bool quoted;
    bool is(const char* word) const { return !quoted && text == word; }
};

struct Case {
    std::string where;  // "file:line: the line", for failure messages
    std::vector<Field> fields;
};

inline std::vector<Case> readCases(const std::string& path) {
    std::vector<Case> cases;
    std::ifstream file(path);
    EXPECT_TRUE(file) << "cannot read " << path;
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        Case c{path.substr(path.find_last_of("/\\") + 1) + ":" + std::to_string(number) + ": " + line, {}};
        std::istringstream in(line);
        while (in >> std::ws && in.peek() != EOF) {
            Field field{"", in.peek() == '"'};
            if (!field.quoted) in >> field.text;
            else in.get();  // the opening quote
            for (int ch; field.quoted && (ch = in.get()) != '"';) {
                static const std::string from = "tnrf0", to("\t\n\r\f\0", 5);
                if (ch == EOF) { ADD_FAILURE() << c.where; break; }
                if (ch == '\\' && (ch = in.get()) != EOF && from.find(char(ch)) != std::string::npos)
                    ch = to[from.find(char(ch))];
                field.text += static_cast<char>(ch);
            }
            if (c.fields.empty() && !field.quoted && field.text[0] == '#') break;
            c.fields.push_back(field);
        }
        if (!c.fields.empty()) cases.push_back(c);
    }
    return cases;
}

// The text of the fields from f[i] on, i left after them: null (*null then true), or
// "quoted" pieces joined by +, each repeated N times by a following *N.
inline std::string textAt(const std::vector<Field>& f, std::size_t& i, bool* null = nullptr) {
    if (null) *null = f.at(i).is("null");
    if (f[i].is("null")) return ++i, "";
    std::string text;
    for (bool more = true; more; i += more) {
        EXPECT_TRUE(f.at(i).quoted);
        const std::string piece = f[i++].text;
        int times = 1;
        if (i < f.size() && !f[i].quoted && f[i].text[0] == '*') times = std::stoi(f[i++].text.substr(1));
        for (int n = 0; n < times; ++n) text += piece;
        more = i < f.size() && f[i].is("+");
    }
    return text;
}

} // namespace ostrel_test

#endif
