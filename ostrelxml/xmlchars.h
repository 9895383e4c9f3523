// Character classes of XML 1.0 and UTF-8 encoding, shared by the scanner's parts.
#ifndef OSTRELXML_XMLCHARS_H
#define OSTRELXML_XMLCHARS_H

#include <string>

namespace ostrel_xml {

// Whether code point c may appear in a document at all (the Char production).
inline bool isXmlChar(long c) {
    if (c < 0x20) return c == 0x9 || c == 0xA || c == 0xD;
    if (c <= 0xD7FF) return true;
    if (c < 0xE000) return false;
    if (c <= 0xFFFD) return true;
    return c >= 0x10000 && c <= 0x10FFFF;
}

inline bool isSpace(int c) { return c == 0x20 || c == 0x9 || c == 0xA || c == 0xD; }

// Whether the n bytes at p are white space only.
inline bool isBlank(const char* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (!isSpace(static_cast<unsigned char>(p[i]))) return false;
    return true;
}

// NameStartChar and NameChar of XML 1.0 (fifth edition).
constexpr bool isNameStart(long c) {
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
    return (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) ||
           (c >= 0x200C && c <= 0x200D) || (c >= 0x2070 && c <= 0x218F) ||
           (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0xEFFFF);
}

constexpr bool isNameChar(long c) {
    if (c < 0x80)
        return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
    return isNameStart(c) || c == 0xB7 || (c >= 0x300 && c <= 0x36F) ||
           (c >= 0x203F && c <= 0x2040);
}

// NameStartChar and NameChar for the ASCII bytes, by byte value (false from 0x80 on).
struct AsciiNameTable {
    bool start[256] = {};
    bool name[256] = {};
    constexpr AsciiNameTable() {
        for (int b = 0; b < 0x80; ++b) {
            start[b] = isNameStart(b);
            name[b] = isNameChar(b);
        }
    }
};
inline constexpr AsciiNameTable kAsciiNames{};

// Appends code point c (a valid Char) to out as UTF-8.
inline void appendUtf8(std::string& out, long c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes the UTF-8 sequence at s (n bytes available): the code point, and its length in
// len; -1 for a malformed, overlong, surrogate or out-of-range sequence, -2 when the
// sequence is cut short by the end of the n bytes.
inline long decodeUtf8(const unsigned char* s, size_t n, int& len) {
    unsigned char b = s[0];
    if (b < 0x80) { len = 1; return b; }
    long c;
    long min;
    if (b >= 0xC2 && b <= 0xDF) { len = 2; c = b & 0x1F; min = 0x80; }
    else if (b >= 0xE0 && b <= 0xEF) { len = 3; c = b & 0x0F; min = 0x800; }
    else if (b >= 0xF0 && b <= 0xF4) { len = 4; c = b & 0x07; min = 0x10000; }
    else { len = 1; return -1; }
    for (int i = 1; i < len; ++i) {
        if (static_cast<size_t>(i) >= n) return -2;
        if ((s[i] & 0xC0) != 0x80) { len = i; return -1; }
        c = (c << 6) | (s[i] & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return -1;
    return c;
}

// A character for messages: 'x' when printable ASCII, else U+XXXX; -1 is the end of file.
std::string describeChar(long c);

// PubidChar of XML 1.0 [13]: the characters a public identifier may hold.
inline bool isPubidChar(long c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    static constexpr char kExtra[] = " \r\n-'()+,./:=?;!*#@$_%";
    for (const char* p = kExtra; *p; ++p)
        if (c == *p) return true;
    return false;
}

// Tokenized attribute types: no leading or trailing blanks, single blanks between tokens.
inline void collapseBlanks(std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (char c : value) {
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += c;
    }
    if (!out.empty() && out.back() == ' ') out.pop_back();
    value.swap(out);
}

} // namespace ostrel_xml

#endif
