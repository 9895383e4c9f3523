#include "ostrelxml/references.h"

#include "ostrelxml/xmlchars.h"

namespace ostrel_xml {

namespace {

std::string shown(std::string_view text, size_t at, size_t end) {
    std::string s(text.substr(at, end - at));
    if (s.size() > 40) s = s.substr(0, 40) + "...";
    return "'" + s + "'";
}

int digitValue(char c, int base) {
    if (c >= '0' && c <= '9') return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string parseReference(std::string_view text, size_t at, Reference& ref) {
    size_t i = at + 1;
    const size_t n = text.size();
    if (i < n && text[i] == '#') {
        ++i;
        int base = 10;
        if (i < n && text[i] == 'x') {
            base = 16;
            ++i;
        }
        size_t digits = i;
        long value = 0;
        while (i < n && digitValue(text[i], base) >= 0) {
            if (value <= 0x10FFFF) value = value * base + digitValue(text[i], base);
            ++i;
        }
        if (i == digits || i >= n || text[i] != ';') {
            size_t stop = i < n ? i + 1 : n;
            return "malformed character reference " + shown(text, at, stop) +
                   ": expected '&#' decimal digits ';' or '&#x' hexadecimal digits ';'";
        }
        ++i;
        if (!isXmlChar(value))
            return "character reference " + shown(text, at, i) +
                   " does not name a character allowed in XML";
        ref.isChar = true;
        ref.code = value;
        ref.end = i;
        return "";
    }
    // An entity reference: a Name, then ';'.
    int len = 0;
    long c = i < n ? decodeUtf8(reinterpret_cast<const unsigned char*>(text.data() + i),
                                n - i, len)
                   : -1;
    if (c < 0 || !isNameStart(c))
        return "'&' must begin a reference such as '&amp;' or '&#38;' (write '&amp;' for "
               "a literal '&')";
    size_t nameStart = i;
    while (i < n) {
        c = decodeUtf8(reinterpret_cast<const unsigned char*>(text.data() + i), n - i, len);
        if (c < 0 || !isNameChar(c)) break;
        i += static_cast<size_t>(len);
    }
    if (i >= n || text[i] != ';')
        return "entity reference " + shown(text, at, i) + " is not ended by ';'";
    ref.isChar = false;
    ref.name.assign(text.substr(nameStart, i - nameStart));
    ref.end = i + 1;
    return "";
}

} // namespace ostrel_xml
