// Internal: escaping of the five XML special characters and indentation, written
// straight to a stream or appended to a string, without temporaries.
#ifndef OSTREL_XMLESCAPE_IMPL_H
#define OSTREL_XMLESCAPE_IMPL_H

#include <cstddef>
#include <cstring>
#include <ostream>
#include <string>

namespace Ostrel {
namespace detail {

// Hands out text in runs: unchanged stretches as they are, special characters as
// their entity references. out(const char*, std::size_t) receives each piece.
template <class Out>
inline void escapeInto(const char* text, std::size_t length, Out&& out) {
    std::size_t run = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char* entity;
        std::size_t entityLength;
        switch (text[i]) {
        case '&': entity = "&amp;"; entityLength = 5; break;
        case '<': entity = "&lt;"; entityLength = 4; break;
        case '>': entity = "&gt;"; entityLength = 4; break;
        case '"': entity = "&quot;"; entityLength = 6; break;
        case '\'': entity = "&apos;"; entityLength = 6; break;
        default: continue;
        }
        if (i > run) out(text + run, i - run);
        out(entity, entityLength);
        run = i + 1;
    }
    if (length > run) out(text + run, length - run);
}

// Writes text escaped to the stream.
inline void writeEscaped(std::ostream& os, const std::string& text) {
    escapeInto(text.data(), text.size(),
               [&os](const char* p, std::size_t n) { os.write(p, static_cast<std::streamsize>(n)); });
}

// Writes level tab characters.
inline void writeIndent(std::ostream& os, int level) {
    static const char tabs[] = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
    const std::streamsize chunk = sizeof(tabs) - 1;
    for (std::streamsize left = level; left > 0; left -= chunk) os.write(tabs, left < chunk ? left : chunk);
}

} // namespace detail
} // namespace Ostrel

#endif
