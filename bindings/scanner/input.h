// The scanner's input: a FILE stream read in large blocks, decoded to UTF-8, with line
// ends normalized and every character checked, and the position of the next character.
#ifndef OSTREL_BINDINGS_INPUT_H
#define OSTREL_BINDINGS_INPUT_H

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace ostrel_xml {

// Throws the scanner's XException: "Error: <file>:<line>:<column>: <what>".
[[noreturn]] void throwScanError(const std::string& file, long long line, long long column,
                                 const std::string& what);

// A position for the scanner's public int interface (saturated, never overflowing).
inline int clampPosition(long long p) { return p > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(p); }

enum class Encoding { Utf8, Ascii, Latin1 };

class Input {
public:
    static constexpr size_t kBlockSize = 64 * 1024;

    Input(std::FILE* stream, std::string fileName);

    // The byte `ahead` bytes after the current position (ahead < 16); -1 past the end.
    int peek(size_t ahead = 0) {
        if (m_pos + ahead < m_end) return static_cast<unsigned char>(m_buf[m_pos + ahead]);
        return peekSlow(ahead);
    }
    // Whether the next bytes are exactly s (ASCII, at most 15 bytes).
    bool lookingAt(const char* s);
    // Consumes n bytes known to be ASCII characters other than line ends.
    void skip(size_t n) { peek(n - 1); m_pos += n; m_column += static_cast<long long>(n); }
    // Consumes one character and appends its UTF-8 to out (when not null). Returns its code
    // point, '\n' for any line end, -1 at the end of the file. Throws for anything that is
    // not a character of the declared encoding or not allowed in XML.
    long take(std::string* out);
    // The code point of the next character without consuming it; -1 at the end, -2 when
    // the bytes there are no character (take() then reports them).
    long peekChar();
    // Appends the longest run of printable ASCII bytes in the buffer for which stop[b] is
    // false (stop has 128 entries), consumes it and returns its length (0 if none).
    size_t takeRun(std::string& out, const bool* stop);
    // Consumes the three bytes of a UTF-8 byte order mark, which occupy no column.
    void skipByteOrderMark() { peek(2); m_pos += 3; }

    // From here on the bytes are read as this encoding (Latin-1 is converted to UTF-8).
    void setEncoding(Encoding encoding);
    Encoding encoding() const { return m_encoding; }

    long long line() const { return m_line; }
    long long column() const { return m_column; }
    // Bytes read from the file so far (whole blocks).
    long long bytesRead() const { return m_bytesRead; }
    const std::string& fileName() const { return m_fileName; }

    [[noreturn]] void fail(const std::string& what) const {
        throwScanError(m_fileName, m_line, m_column, what);
    }

private:
    int peekSlow(size_t ahead);
    // Makes at least `need` bytes available after the position unless the file ends first.
    void fill(size_t need);

    std::FILE* m_stream;
    std::string m_fileName;
    std::vector<char> m_buf;
    std::vector<char> m_raw;
    size_t m_pos = 0;
    size_t m_end = 0;
    bool m_eof = false;
    Encoding m_encoding = Encoding::Utf8;
    long long m_line = 1;
    long long m_column = 1;
    long long m_bytesRead = 0;
};

} // namespace ostrel_xml

#endif
