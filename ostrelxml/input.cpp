#include "ostrelxml/input.h"

#include "ostrelxml/bytes.h"
#include "ostrelxml/xmlchars.h"

#include <ostrelbase/ostrelexcept.h>

#include <cstring>

namespace ostrel_xml {

void throwScanError(const std::string& file, long long line, long long column,
                    const std::string& what) {
    OSTREL_THROW("Error: " + file + ":" + std::to_string(line) + ":" + std::to_string(column) +
                 ": " + what);
}

std::string describeChar(long c) {
    if (c == -1) return "the end of the file";
    if (c >= 0x21 && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
    char buf[32];
    std::snprintf(buf, sizeof buf, "U+%04lX", c < 0 ? 0L : c);
    return buf;
}

namespace {

void appendUtf8(std::vector<char>& out, size_t& end, unsigned long c) {
    if (c < 0x80) {
        out[end++] = static_cast<char>(c);
    } else if (c < 0x800) {
        out[end++] = static_cast<char>(0xC0 | (c >> 6));
        out[end++] = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out[end++] = static_cast<char>(0xE0 | (c >> 12));
        out[end++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[end++] = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out[end++] = static_cast<char>(0xF0 | (c >> 18));
        out[end++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out[end++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[end++] = static_cast<char>(0x80 | (c & 0x3F));
    }
}

// 8-bit bytes to UTF-8: Latin-1's are the code points of their value, another set's come
// from its table. A byte that stands for no character becomes U+FFFF, which is no XML
// character, so that it is refused where it stands.
void appendSingleByte(std::vector<char>& out, size_t& end, const char* src, size_t n,
                      const char16_t* highHalf) {
    for (size_t i = 0; i < n; ++i) {
        const unsigned char b = static_cast<unsigned char>(src[i]);
        if (b < 0x80) {
            out[end++] = static_cast<char>(b);
        } else if (!highHalf) {
            out[end++] = static_cast<char>(0xC0 | (b >> 6));
            out[end++] = static_cast<char>(0x80 | (b & 0x3F));
        } else {
            const char16_t c = highHalf[b - 0x80];
            appendUtf8(out, end, c ? c : 0xFFFF);
        }
    }
}

// UTF-16 code units to UTF-8. An unpaired surrogate becomes its three-byte form and an odd
// last byte 0xFF: neither is UTF-8, so take() stops there and reports it in its place.
// Returns the bytes used: all when last, else up to a character the bytes cut off.
size_t appendUtf16(std::vector<char>& out, size_t& end, const unsigned char* src, size_t n,
                   bool bigEndian, bool last) {
    const int hi = bigEndian ? 0 : 1;
    const int lo = 1 - hi;
    size_t i = 0;
    while (i + 1 < n) {
        const unsigned long unit = (static_cast<unsigned long>(src[i + hi]) << 8) | src[i + lo];
        if (unit >= 0xD800 && unit < 0xDC00) {
            if (i + 3 < n) {
                const unsigned long next =
                    (static_cast<unsigned long>(src[i + 2 + hi]) << 8) | src[i + 2 + lo];
                if (next >= 0xDC00 && next < 0xE000) {
                    appendUtf8(out, end, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
                    i += 4;
                    continue;
                }
            } else if (!last) {
                break;  // the low surrogate comes with the next block
            }
        }
        appendUtf8(out, end, unit);
        i += 2;
    }
    if (last && i < n) {
        out[end++] = static_cast<char>(0xFF);
        i = n;
    }
    return i;
}

bool isUtf16(Encoding e) { return e == Encoding::Utf16LE || e == Encoding::Utf16BE; }

std::string hexByte(int b) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", b & 0xFF);
    return buf;
}

} // namespace

Input::Input(std::FILE* stream, std::string fileName)
    : m_stream(stream), m_fileName(std::move(fileName)), m_buf(2 * kBlockSize + 64) {
    m_buf[0] = '\0';
}

int Input::peekSlow(size_t ahead) {
    fill(ahead + 1);
    if (m_pos + ahead < m_end) return static_cast<unsigned char>(m_buf[m_pos + ahead]);
    return -1;
}

void Input::fill(size_t need) {
    if (m_end - m_pos >= need || m_eof) return;
    if (m_pos > 0) {
        std::memmove(m_buf.data(), m_buf.data() + m_pos, m_end - m_pos);
        m_column0 += static_cast<long long>(m_pos);
        m_end -= m_pos;
        m_pos = 0;
        m_buf[m_end] = '\0';
    }
    while (m_end < need && !m_eof) {
        if (!m_stream) {
            m_eof = true;
            break;
        }
        // Room stays free for the NUL behind the buffered bytes and the slack after it.
        size_t room = m_buf.size() - m_end - kSlack;
        if (m_encoding == Encoding::Latin1 || isUtf16(m_encoding)) {
            // An 8-bit byte may become three, two UTF-16 bytes three; the bytes kept from
            // the last block and a mark for a cut-off one fit in what is left.
            size_t want = m_encoding == Encoding::Latin1 ? std::min(kBlockSize, room / 3)
                                                         : std::min(kBlockSize, (room - 8) / 3 * 2);
            m_raw.resize(m_rawKept + want);
            size_t got = std::fread(m_raw.data() + m_rawKept, 1, want, m_stream);
            m_bytesRead += static_cast<long long>(got);
            if (got < want) m_eof = true;
            convert(got);
        } else {
            size_t want = std::min(kBlockSize, room);
            size_t got = std::fread(m_buf.data() + m_end, 1, want, m_stream);
            m_bytesRead += static_cast<long long>(got);
            m_end += got;
            if (got < want) m_eof = true;
        }
        m_buf[m_end] = '\0';
        if (m_eof && std::ferror(m_stream)) fail("the file could not be read");
    }
}

void Input::failAt(long long line, long long column, const std::string& what) const {
    throwScanError(m_fileName, line, column, m_note.empty() ? what : what + m_note);
}

void Input::pushText(std::string_view text, std::string note, long long line,
                     long long column) {
    if (m_texts.empty()) {
        m_textLine = line;
        m_textColumn = column;
    }
    m_texts.push_back(
        {std::move(m_buf), m_pos, m_end, m_eof, m_encoding, m_column0, m_line, std::move(m_note)});
    m_buf.assign(text.begin(), text.end());
    m_buf.resize(text.size() + 1 + kSlack, '\0');
    m_pos = 0;
    m_end = text.size();
    m_eof = true;
    m_encoding = Encoding::Utf8;
    m_column0 = 1;
    m_line = 1;
    m_note = std::move(note);
}

void Input::popText() {
    Suspended& s = m_texts.back();
    m_buf = std::move(s.buf);
    m_pos = s.pos;
    m_end = s.end;
    m_eof = s.eof;
    m_encoding = s.encoding;
    m_column0 = s.column0;
    m_line = s.line;
    m_note = std::move(s.note);
    m_texts.pop_back();
}

bool Input::lookingAt(const char* s) {
    size_t n = std::strlen(s);
    if (m_end - m_pos < n) fill(n);
    if (m_end - m_pos < n) return false;
    return std::memcmp(m_buf.data() + m_pos, s, n) == 0;
}

void Input::convert(size_t n) {
    if (m_encoding == Encoding::Latin1) {
        appendSingleByte(m_buf, m_end, m_raw.data(), n, m_highHalf);
        return;
    }
    const size_t total = m_rawKept + n;
    const size_t used = appendUtf16(m_buf, m_end, reinterpret_cast<unsigned char*>(m_raw.data()),
                                    total, m_encoding == Encoding::Utf16BE, m_eof);
    m_rawKept = total - used;
    std::memmove(m_raw.data(), m_raw.data() + used, m_rawKept);
}

void Input::setEncoding(Encoding encoding, const char16_t* highHalf) {
    m_highHalf = highHalf;
    const bool raw = m_encoding == Encoding::Utf8 || m_encoding == Encoding::Ascii;
    if (raw && (encoding == Encoding::Latin1 || isUtf16(encoding))) {
        // The bytes already buffered behind the position are of the new encoding too.
        m_raw.assign(m_buf.begin() + static_cast<long>(m_pos),
                     m_buf.begin() + static_cast<long>(m_end));
        m_rawKept = 0;
        m_column0 += static_cast<long long>(m_pos);
        m_pos = 0;
        m_end = 0;
        const size_t room = 3 * m_raw.size() + kSlack + 8;
        if (m_buf.size() < room) m_buf.resize(room);
        m_encoding = encoding;
        convert(m_raw.size());
        m_buf[m_end] = '\0';
    }
    m_encoding = encoding;
}

long Input::peekChar() {
    int b = peek();
    if (b < 0x80) return b;
    fill(4);
    int len = 0;
    long c = decodeUtf8(reinterpret_cast<const unsigned char*>(m_buf.data() + m_pos),
                        m_end - m_pos, len);
    if (c < 0 || m_encoding == Encoding::Ascii) return -2;
    return c;
}

long Input::take(std::string* out) {
    int b = peek();
    if (b < 0) return -1;
    if (b < 0x80) {
        if (b >= 0x20 || b == '\t') {
            if (out) out->push_back(static_cast<char>(b));
            ++m_pos;
            return b;
        }
        if (b == '\r' && !m_texts.empty()) {
            // A carriage return in replacement text came from a character reference:
            // line ends are normalized in the input only (XML 1.0 section 2.11).
            if (out) out->push_back('\r');
            ++m_pos;
            return '\r';
        }
        if (b == '\n' || b == '\r') {
            ++m_pos;
            if (b == '\r' && peek() == '\n') ++m_pos;
            if (out) out->push_back('\n');
            newLine();
            return '\n';
        }
        fail("character " + describeChar(b) + " is not allowed in XML");
    }
    if (m_encoding == Encoding::Ascii)
        fail("byte " + hexByte(b) + " is not US-ASCII, the encoding the XML declaration names");
    fill(4);
    int len = 0;
    long c = decodeUtf8(reinterpret_cast<const unsigned char*>(m_buf.data() + m_pos),
                        m_end - m_pos, len);
    if (c < 0) {
        if (isUtf16(m_encoding)) failUtf16();
        fail("byte " + hexByte(b) +
             " does not begin a UTF-8 character (declare encoding='ISO-8859-1' for Latin-1 text)");
    }
    if (c == 0xFFFF && m_highHalf && m_encoding == Encoding::Latin1)
        fail("this byte stands for no character in the encoding the XML declaration names");
    if (!isXmlChar(c)) fail("character " + describeChar(c) + " is not allowed in XML");
    if (out) out->append(m_buf.data() + m_pos, static_cast<size_t>(len));
    m_pos += static_cast<size_t>(len);
    m_column0 -= len - 1;
    return c;
}

void Input::failUtf16() const {
    // The conversion left one of its two marks here.
    const unsigned char* p = reinterpret_cast<const unsigned char*>(m_buf.data()) + m_pos;
    if (p[0] == 0xED && m_end - m_pos >= 3) {
        char unit[8];
        std::snprintf(unit, sizeof unit, "0x%04X",
                      0xD000u | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu));
        if (p[1] < 0xB0)
            fail(std::string("unpaired surrogate ") + unit +
                 " in UTF-16: a high surrogate must be followed by a low one (0xDC00-0xDFFF)");
        fail(std::string("unpaired surrogate ") + unit +
             " in UTF-16: a low surrogate must follow a high one (0xD800-0xDBFF)");
    }
    fail("the file ends inside a UTF-16 code unit: it has an odd number of bytes (it may be "
         "cut off)");
}

void Input::scanBlank() {
    const unsigned char* const buf = reinterpret_cast<const unsigned char*>(m_buf.data());
    const unsigned char* p = buf + m_pos;
    constexpr std::uint64_t kBlanks = 0x2020202020202020ULL;
    for (;;) {
        const unsigned char c = *p;
        if (c == ' ') {
            // A word holding the NUL behind the buffered bytes is no run of blanks, so
            // these loads never go past the slack.
            ++p;
            for (;;) {
                const std::uint64_t other = load64(reinterpret_cast<const char*>(p)) ^ kBlanks;
                if (other) {
                    p += zeroBytesFirst(other);
                    break;
                }
                p += 8;
            }
        } else if (c == '\n') {
            ++p;
            ++m_line;
            m_column0 = 1 - (p - buf);
        } else if (c == '\t') {
            ++p;
        } else {
            break;
        }
    }
    m_pos = static_cast<size_t>(p - buf);
}

size_t Input::scan(const RunTable& table) {
    const unsigned char* const buf = reinterpret_cast<const unsigned char*>(m_buf.data());
    const unsigned char* const start = buf + m_pos;
    const unsigned char* const end = buf + m_end;
    const bool multiByte = m_encoding != Encoding::Ascii;
    const unsigned char* p = start;
    // The NUL behind the buffered bytes stops every run, so only multi-byte characters
    // need a look at the end.
    for (;;) {
        // Four at a time while they are plain: a byte is only looked at when the one before
        // it was plain, so none past the NUL is read.
        while (table.cls[p[0]] == kPlain && table.cls[p[1]] == kPlain &&
               table.cls[p[2]] == kPlain && table.cls[p[3]] == kPlain)
            p += 4;
        const unsigned char cls = table.cls[*p];
        if (cls == kPlain) {
            ++p;
        } else if (cls == kLineFeed) {
            ++p;
            ++m_line;
            m_column0 = 1 - (p - buf);
        } else if (cls == kMultiByte && multiByte) {
            int len = 0;
            const long c = decodeUtf8(p, static_cast<size_t>(end - p), len);
            if (c < 0 || !isXmlChar(c)) break;
            p += len;
            m_column0 -= len - 1;
        } else {
            break;
        }
    }
    m_pos = static_cast<size_t>(p - buf);
    return static_cast<size_t>(p - start);
}

} // namespace ostrel_xml
