// XMLLineWriter: the pieces of a line of XML output, collected and handed to the stream in
// one unformatted write instead of one insertion each. For EmitXML implementations.
#ifndef OSTREL_XMLLINE_H
#define OSTREL_XMLLINE_H

#include <ostrelbase/ostrelexport.h>

#include <cstddef>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

namespace Ostrel {

// The stream receives the same bytes as from inserting each piece with <<, and its state
// follows the same rules (a failed write sets badbit, a failed stream takes nothing). A
// field width pending on the stream pads the piece that would be inserted first and is
// then reset, as insertion does. Call commit() before anything else writes to the stream
// and before the writer goes out of scope: what is not committed is not written.
class XMLLineWriter {
public:
    // An empty line for os; nothing is written yet.
    explicit XMLLineWriter(std::ostream& os) : m_os(os) {}
    XMLLineWriter(const XMLLineWriter&) = delete;
    XMLLineWriter& operator=(const XMLLineWriter&) = delete;

    // Whether the next piece goes to the stream at once, padded to its pending field width.
    bool padsNextPiece() const { return m_used == 0 && m_os.width() != 0; }

    // Appends level tab characters, none for a level of zero or less, as one piece.
    void indent(int level) {
        static const char tabs[] = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";
        const int chunk = static_cast<int>(sizeof tabs - 1);
        if (padsNextPiece()) {
            m_os << std::string(level > 0 ? static_cast<std::size_t>(level) : 0, '\t');
            return;
        }
        for (int left = level; left > 0; left -= chunk)
            append(tabs, static_cast<std::size_t>(left < chunk ? left : chunk));
    }
    // Appends the length bytes at text as one piece; may write earlier pieces to make room.
    void append(const char* text, std::size_t length) {
        if (length < m_room) {
            copyShort(m_buffer + m_used, text, length);
            m_used += length;
            m_room -= length;
            return;
        }
        appendSlowly(text, length);
    }
    // Appends text as one piece.
    void append(const std::string& text) { append(text.data(), text.size()); }
    // Appends one character as one piece.
    void append(char c) { append(&c, 1); }
    // Appends '<', tag and '>', each a piece of its own, as inserting them would.
    void startTag(const std::string& tag) {
        append('<');
        append(tag);
        append('>');
    }
    // Appends "</", tag and '>', each a piece of its own.
    void endTag(const std::string& tag) {
        append("</", 2);
        append(tag);
        append('>');
    }
    // Appends ' ', name and "='", each a piece of its own: an attribute up to its value.
    void attributeStart(const std::string& name) {
        append(' ');
        append(name);
        append("='", 2);
    }
    // Writes what was collected to the stream (it does not flush the stream) and starts an
    // empty line; a refused write sets badbit, which throws if the stream's exceptions ask.
    void commit() {
        if (const std::size_t used = takeLine()) write(m_os, m_buffer, used);
    }

    // Appends '\n', commits, and flushes the stream: what commit() and then std::endl
    // write, and the stream's state after them.
    void endLine() {
        append('\n');
        const std::size_t used = takeLine();
        writeLine(m_os, m_buffer, used);
    }

private:
    // Starts an empty line; the bytes collected for the one before.
    std::size_t takeLine() {
        const std::size_t used = m_used;
        m_used = 0;
        m_room = 0;
        return used;
    }
    // os.write(text, length); on the library's own document file stream it skips the checks
    // that cannot change anything there.
    OSTREL_API static void write(std::ostream& os, const char* text, std::size_t length);
    // write(), then os.flush(), except on the library's own document file stream, whose
    // flushes wait for the end of the document and so would change nothing.
    OSTREL_API static void writeLine(std::ostream& os, const char* text, std::size_t length);
    // Pieces are mostly a few bytes: copy them without a call, never reading past text.
    static void copyShort(char* to, const char* text, std::size_t length) {
        if (length >= 8 && length <= 16) {
            std::memcpy(to, text, 8);
            std::memcpy(to + length - 8, text + length - 8, 8);
        } else if (length >= 4 && length < 8) {
            std::memcpy(to, text, 4);
            std::memcpy(to + length - 4, text + length - 4, 4);
        } else if (length > 0 && length < 4) {
            to[0] = text[0];
            to[length / 2] = text[length / 2];
            to[length - 1] = text[length - 1];
        } else {
            std::memcpy(to, text, length);
        }
    }
    // The first piece of a line, one that does not fit, or one that fills the buffer.
    void appendSlowly(const char* text, std::size_t length) {
        if (padsNextPiece()) {
            m_os << std::string_view(text, length);
            return;
        }
        if (length >= sizeof m_buffer - m_used) {
            commit();
            if (length >= sizeof m_buffer) {
                write(m_os, text, length);
                return;
            }
        }
        copyShort(m_buffer + m_used, text, length);
        m_used += length;
        m_room = sizeof m_buffer - m_used;
    }

    std::ostream& m_os;
    std::size_t m_used = 0;
    // Bytes that the next pieces may take without a look at the stream: none while the
    // line is empty, so that its first piece sees a pending field width.
    std::size_t m_room = 0;
    char m_buffer[256];
};

} // namespace Ostrel

#endif
