// The five XML special characters replaced one byte at a time: a plain reference that
// shares nothing with the library's own escaping, for tests and generated documents.
#ifndef OSTREL_TEST_PLAIN_ESCAPE_H
#define OSTREL_TEST_PLAIN_ESCAPE_H

#include <string>

namespace ostrel_test {

inline std::string plainEscape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace ostrel_test

#endif
