// The five XML special characters replaced one byte at a time: a plain reference that
// shares nothing with the library's own escaping, for tests and generated documents.
#ifndef OSTREL_TEST_PLAIN_ESCAPE_H
#define OSTREL_TEST_PLAIN_ESCAPE_H

#include <string>

namespace ostrel_test {

inline std::string plainEscape(const std::string& text) {
    static const char* const references[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
    static const std::string special = "&<>\"'";
    std::string out;
    for (char c : text)
        special.find(c) == std::string::npos ? out += c : out += references[special.find(c)];
    return out;
}

} // namespace ostrel_test

#endif
