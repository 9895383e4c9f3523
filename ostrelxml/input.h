// The scanner's input: a FILE stream read in large blocks, decoded to UTF-8, with line
// ends normalized and every character checked, and the position of the next character.
#ifndef OSTRELXML_INPUT_H
#define OSTRELXML_INPUT_H

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel_xml {

// Throws the scanner's XException: "Error: <file>:<line>:<column>: <what>".
[[noreturn]] void throwScanError(const std::string& file, long long line, long long column,
                                 const std::string& what);

// A position for the scanner's public int interface (saturated, never overflowing).
inline int clampPosition(long long p) { return p > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(p); }

enum class Encoding { Utf8, Ascii, Latin1, Utf16LE, Utf16BE };

// What a byte means to Input::scan: part of the run, the end of it, a line feed that the
// run takes, or the first byte of a multi-byte character that the run takes when valid.
enum ByteClass : unsigned char { kPlain, kStop, kLineFeed, kMultiByte };

// One ByteClass per byte value, for Input::scan.
struct RunTable {
    unsigned char cls[256] = {};
};

// A run of characters up to one of stops: printable ASCII and tab belong to it, line feeds
// when lineFeeds says so, valid multi-byte characters always. Other control characters,
// carriage returns and NUL (which also marks the end of the buffer) end every run.
constexpr RunTable runUntil(const char* stops, bool lineFeeds) {
    RunTable table;
    for (int b = 0; b < 256; ++b)
        table.cls[b] = b >= 0x80 ? kMultiByte : (b >= 0x20 || b == '\t') ? kPlain : kStop;
    if (lineFeeds) table.cls[static_cast<unsigned char>('\n')] = kLineFeed;
    for (const char* s = stops; *s; ++s) table.cls[static_cast<unsigned char>(*s)] = kStop;
    return table;
}

// A run of the ASCII characters in chars, and of line feeds when lineFeeds says so.
constexpr RunTable runOf(const char* chars, bool lineFeeds) {
    RunTable table;
    for (int b = 0; b < 256; ++b) table.cls[b] = kStop;
    for (const char* s = chars; *s; ++s) table.cls[static_cast<unsigned char>(*s)] = kPlain;
    if (lineFeeds) table.cls[static_cast<unsigned char>('\n')] = kLineFeed;
    return table;
}

// White space other than carriage returns, which need normalizing.
inline constexpr RunTable kSpaceRun = runOf(" \t", true);

class Input {
public:
    // Bytes asked of the stream at a time. With 32 KiB a large document reads about 4 %
    // faster than with 64 KiB, likely because the kernel's copy of a smaller block is still
    // in the nearest caches when it is scanned (16 KiB: the same, in twice the calls).
    static constexpr size_t kBlockSize = 32 * 1024;

    Input(std::FILE* stream, std::string fileName);

    // The byte `ahead` bytes after the current position (ahead < 16); -1 past the end.
    int peek(size_t ahead = 0) {
        if (m_pos + ahead < m_end) return static_cast<unsigned char>(m_buf[m_pos + ahead]);
        return peekSlow(ahead);
    }
    // Whether the next bytes are exactly s (ASCII, at most 15 bytes).
    bool lookingAt(const char* s);
    // Consumes n bytes known to be ASCII characters other than line ends.
    void skip(size_t n) {
        peek(n - 1);
        m_pos += n;
    }
    // Consumes one character and appends its UTF-8 to out (when not null). Returns its code
    // point, '\n' for any line end of the file (a pushed text's carriage returns stay),
    // -1 at the end of the file. Throws for anything that is
    // not a character of the declared encoding or not allowed in XML.
    long take(std::string* out);
    // The code point of the next character without consuming it; -1 at the end, -2 when
    // the bytes there are no character (take() then reports them).
    long peekChar();
    // Consumes the longest run of characters that table lets through within the bytes
    // buffered, and returns its length in bytes. It ends before a byte that stops it, a
    // character that is invalid or cut off by the end of the buffer, and the end of the
    // buffer: peek() and take() deal with what stands there. Reads nothing.
    size_t scan(const RunTable& table);
    // scan for a run of blanks, tabs and line feeds (the line breaks and indentation
    // between tags), taking the blanks eight at a time.
    void scanBlank();
    // The buffered bytes from the position on: available() of them, then a NUL byte. Valid
    // until something reads (peek, lookingAt, skip, take, peekChar may).
    const char* data() const { return m_buf.data() + m_pos; }
    size_t available() const { return m_end - m_pos; }
    // Consumes the three bytes of a UTF-8 byte order mark, which occupy no column.
    void skipByteOrderMark() {
        peek(2);
        m_pos += 3;
        m_column0 -= 3;
    }

    // From here on the bytes are read as this encoding (Latin-1 and UTF-16 are converted to
    // UTF-8, the bytes already buffered included). With Latin1, highHalf (when not null)
    // gives the code points of the bytes from 0x80 on, 0 for a byte that stands for none:
    // another 8-bit character set.
    void setEncoding(Encoding encoding, const char16_t* highHalf = nullptr);
    Encoding encoding() const { return m_encoding; }

    // While a pushed text is read, the position stays that of the reference that pushed it.
    long long line() const { return m_texts.empty() ? m_line : m_textLine; }
    long long column() const {
        if (!m_texts.empty()) return m_textColumn;
        return m_column0 + static_cast<long long>(m_pos);
    }

    // Reads text (UTF-8, already checked: an entity's replacement text) before the rest of
    // the input, as if it stood there; peek() returns -1 at its end until popText().
    // note is added to every error reported meanwhile; (line, column), the position of the
    // reference, is the position reported while the outermost text is read.
    void pushText(std::string_view text, std::string note, long long line, long long column);
    // Goes back to what was read before the latest pushText.
    void popText();
    // How many pushed texts are being read.
    size_t textDepth() const { return m_texts.size(); }
    // Bytes read from the file so far (whole blocks).
    long long bytesRead() const { return m_bytesRead; }
    const std::string& fileName() const { return m_fileName; }

    [[noreturn]] void fail(const std::string& what) const { failAt(line(), column(), what); }
    // An error at a given position, with the note of the text being read.
    [[noreturn]] void failAt(long long line, long long column, const std::string& what) const;

private:
    int peekSlow(size_t ahead);
    // Converts the m_rawKept + n raw bytes in m_raw behind m_end; keeps in m_raw what they
    // leave of a UTF-16 character that the next block completes.
    void convert(size_t n);
    // take() found no character at the position of a UTF-16 input.
    [[noreturn]] void failUtf16() const;
    // Makes at least `need` bytes available after the position unless the file ends first.
    void fill(size_t need);
    // A line end has been consumed: the next byte begins line m_line + 1.
    void newLine() {
        ++m_line;
        m_column0 = 1 - static_cast<long long>(m_pos);
    }

    std::FILE* m_stream;
    std::string m_fileName;
    // m_buf[m_end] is always NUL, so runs stop there; kSlack bytes after it are there to
    // be read (never used) by loads of a word that begins before it.
    static constexpr size_t kSlack = 16;
    std::vector<char> m_buf;
    // Bytes read but not yet converted (Latin-1, UTF-16); the first m_rawKept of them are
    // the start of a UTF-16 character that the last block cut off.
    std::vector<char> m_raw;
    size_t m_rawKept = 0;
    size_t m_pos = 0;
    size_t m_end = 0;
    bool m_eof = false;
    Encoding m_encoding = Encoding::Utf8;
    const char16_t* m_highHalf = nullptr;  // setEncoding's 8-bit character set
    // The column m_buf[0] would have on the current line, so that the column of the
    // position is one addition: set at each line end, lowered by the bytes on the line
    // that are no character of their own (the continuation bytes of multi-byte
    // characters, a byte order mark), raised when the buffer's bytes move to its start.
    long long m_column0 = 1;
    long long m_line = 1;
    long long m_bytesRead = 0;

    // What pushText set aside, to be taken up again by popText.
    struct Suspended {
        std::vector<char> buf;
        size_t pos, end;
        bool eof;
        Encoding encoding;
        long long column0, line;
        std::string note;
    };
    std::vector<Suspended> m_texts;
    std::string m_note;
    long long m_textLine = 0;
    long long m_textColumn = 0;
};

} // namespace ostrel_xml

#endif
