// Internal: escaping of the five XML special characters, appended to a line of output or
// to a string without temporaries.
#ifndef OSTREL_XMLESCAPE_IMPL_H
#define OSTREL_XMLESCAPE_IMPL_H

#include <ostrelbase/xmlline.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace Ostrel {
namespace detail {

// Whether c is one of the five characters that are written as entity references.
inline bool isSpecial(char c) {
    return c == '&' || c == '<' || c == '>' || c == '"' || c == '\'';
}

// The position of the first special character at or after from, or length when there is
// none. Looks at eight bytes at a time: text is mostly free of them.
inline std::size_t findSpecial(const char* text, std::size_t from, std::size_t length) {
    constexpr std::uint64_t ones = 0x0101010101010101u;
    constexpr std::uint64_t highs = 0x8080808080808080u;
    // The high bit of every byte of v that is zero (exact as far as "any" goes).
    const auto zeroBytes = [](std::uint64_t v) { return (v - ones) & ~v & highs; };
    std::size_t i = from;
    for (; length - i >= 8; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text + i, 8);
        // & and ' differ in the lowest bit only, < and > in the next one.
        if (zeroBytes((word | ones) ^ (ones * '\'')) | zeroBytes((word | ones * 2) ^ (ones * '>')) |
            zeroBytes(word ^ (ones * '"')))
            break;
    }
    for (; i < length; ++i)
        if (isSpecial(text[i])) return i;
    return length;
}

// Hands out text in runs: unchanged stretches as they are, special characters as
// their entity references. out(const char*, std::size_t) receives each piece.
template <class Out>
inline void escapeInto(const char* text, std::size_t length, Out&& out) {
    std::size_t run = 0;
    for (std::size_t i = findSpecial(text, 0, length); i < length; i = findSpecial(text, i + 1, length)) {
        if (i > run) out(text + run, i - run);
        switch (text[i]) {
        case '&': out("&amp;", 5); break;
        case '<': out("&lt;", 4); break;
        case '>': out("&gt;", 4); break;
        case '"': out("&quot;", 6); break;
        default: out("&apos;", 6); break;
        }
        run = i + 1;
    }
    if (length > run) out(text + run, length - run);
}

// Appends text escaped to the line, as one piece.
inline void appendEscaped(XMLLineWriter& line, const std::string& text) {
    if (line.padsNextPiece()) {
        // The whole escaped text is the piece that a pending field width pads.
        std::string escaped;
        escapeInto(text.data(), text.size(),
                   [&escaped](const char* p, std::size_t n) { escaped.append(p, n); });
        line.append(escaped);
        return;
    }
    escapeInto(text.data(), text.size(), [&line](const char* p, std::size_t n) { line.append(p, n); });
}

} // namespace detail
} // namespace Ostrel

#endif
