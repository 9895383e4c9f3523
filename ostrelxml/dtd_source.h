// The DTD reader's input: a stack of texts — the internal subset or a DTD file at the
// bottom, the replacement texts of parameter entities above it — and where each stands.
#ifndef OSTRELXML_DTD_SOURCE_H
#define OSTRELXML_DTD_SOURCE_H

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace ostrel_xml {

// A place for messages: a file position, and the parameter entity whose text was being
// read there (empty when none).
struct DtdPlace {
    const std::string* file = nullptr;
    long long line = 1;
    long long column = 1;
    std::string entity;
};

struct DtdFrame {
    std::string text;
    size_t pos = 0;
    // A tracked text (the internal subset, a file) knows the position of its next
    // character; an internal entity's text reports at the reference that opened it.
    bool tracked = false;
    DtdPlace place;       // tracked: the next character; else the reference
    std::string entity;   // the parameter entity whose text this is; empty for none
    // Declarations and conditional sections must end in a boundary text (a reference
    // between declarations, a file); a reference inside a declaration is transparent:
    // reading goes on below it when it ends.
    bool boundary = false;
    int openSections = 0;  // INCLUDE sections begun in this text and not yet closed
};

class DtdSource {
public:
    // The stable name of a file, for places.
    const std::string* fileName(const std::string& name);

    // A text whose first character stands at (line, column) of file.
    void pushTracked(std::string text, const std::string* file, long long line,
                     long long column, std::string entity, bool boundary);
    // An entity's text, reported at the reference's place.
    void pushEntity(std::string text, std::string entity, bool boundary, const DtdPlace& ref);
    void pop() { m_frames.pop_back(); }
    size_t depth() const { return m_frames.size(); }
    DtdFrame& top() { return m_frames.back(); }
    const DtdFrame& frame(size_t i) const { return m_frames[i]; }

    // The byte `ahead` bytes on in the current text; -1 past its end. At the end of a
    // transparent text without open sections, reading goes on below it.
    int peek(size_t ahead = 0) {
        if (ahead == 0) popFinished();
        const DtdFrame& f = m_frames.back();
        return f.pos + ahead < f.text.size() ? static_cast<unsigned char>(f.text[f.pos + ahead])
                                             : -1;
    }
    bool atEnd() { return peek() < 0; }
    bool lookingAt(std::string_view s) {
        popFinished();
        const DtdFrame& f = m_frames.back();
        return f.text.compare(f.pos, s.size(), s) == 0 && f.text.size() - f.pos >= s.size();
    }
    // The character at the position (0 when there is none) and its length in bytes.
    long peekChar(int& len);
    // The rest of the current text.
    std::string_view rest() const {
        const DtdFrame& f = m_frames.back();
        return std::string_view(f.text).substr(f.pos);
    }
    // Moves n bytes on in the current text, counting lines and columns.
    void advance(size_t n);
    // Where the next character stands.
    DtdPlace here() {
        popFinished();
        return m_frames.back().place;
    }

private:
    void popFinished() {
        while (m_frames.size() > 1) {
            const DtdFrame& f = m_frames.back();
            if (f.pos < f.text.size() || f.boundary || f.openSections > 0) return;
            m_frames.pop_back();
        }
    }

    std::deque<DtdFrame> m_frames;
    std::deque<std::string> m_files;
};

} // namespace ostrel_xml

#endif
