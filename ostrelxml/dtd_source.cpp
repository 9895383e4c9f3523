#include "ostrelxml/dtd_source.h"

#include "ostrelxml/xmlchars.h"

namespace ostrel_xml {

const std::string* DtdSource::fileName(const std::string& name) {
    for (const std::string& known : m_files)
        if (known == name) return &known;
    m_files.push_back(name);
    return &m_files.back();
}

void DtdSource::pushTracked(std::string text, const std::string* file, long long line,
                            long long column, std::string entity, bool boundary) {
    DtdFrame f;
    f.text = std::move(text);
    f.tracked = true;
    f.place.file = file;
    f.place.line = line;
    f.place.column = column;
    f.entity = std::move(entity);
    f.boundary = boundary;
    m_frames.push_back(std::move(f));
}

void DtdSource::pushEntity(std::string text, std::string entity, bool boundary,
                           const DtdPlace& ref) {
    DtdFrame f;
    f.text = std::move(text);
    f.place = ref;
    f.place.entity = entity;
    f.entity = std::move(entity);
    f.boundary = boundary;
    m_frames.push_back(std::move(f));
}

long DtdSource::peekChar(int& len) {
    popFinished();
    const DtdFrame& f = m_frames.back();
    len = 0;
    if (f.pos >= f.text.size()) return 0;
    long c = decodeUtf8(reinterpret_cast<const unsigned char*>(f.text.data() + f.pos),
                        f.text.size() - f.pos, len);
    if (c < 0) {
        len = 1;
        return 0;
    }
    return c;
}

void DtdSource::advance(size_t n) {
    DtdFrame& f = m_frames.back();
    if (n > f.text.size() - f.pos) n = f.text.size() - f.pos;
    if (f.tracked) {
        for (size_t i = f.pos; i < f.pos + n; ++i) {
            const unsigned char b = static_cast<unsigned char>(f.text[i]);
            if (b == '\n') {
                ++f.place.line;
                f.place.column = 1;
            } else if ((b & 0xC0) != 0x80) {
                ++f.place.column;
            }
        }
    }
    f.pos += n;
}

} // namespace ostrel_xml
