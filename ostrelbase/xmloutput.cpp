// XML output: documents, headers, attributes, escaping and indentation.
#include <ostrelbase/xmlescape_impl.h>
#include <ostrelbase/ostrel.h>

#include <cstring>
#include <fstream>
#include <locale>
#include <typeinfo>

namespace Ostrel {

namespace {

const char* const kVersionText = "1.2";

// A file buffer that lets the line ends' flushes wait until the document is complete:
// one write per buffer instead of one per line. Closing (also when an exception
// escapes) still writes out everything that was put. It never throws while its
// characters need no conversion.
class DeferredFileBuf : public std::filebuf {
public:
    DeferredFileBuf() {
        pubsetbuf(m_storage, sizeof m_storage);
        noteConversion(getloc());
    }
    ~DeferredFileBuf() override { close(); }
    void stopDeferring() { m_deferring = false; }
    bool convertsNothing() const { return m_convertsNothing; }

protected:
    int sync() override { return m_deferring ? 0 : std::filebuf::sync(); }
    // The pieces of a line are short: copy them into the buffer while they fit, without
    // the general path's checks; anything else takes that path.
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        if (n <= epptr() - pptr()) {
            std::memcpy(pptr(), s, static_cast<std::size_t>(n));
            pbump(static_cast<int>(n));
            return n;
        }
        return std::filebuf::xsputn(s, n);
    }
    void imbue(const std::locale& loc) override {
        std::filebuf::imbue(loc);
        noteConversion(getloc());
    }

private:
    void noteConversion(const std::locale& loc) {
        m_convertsNothing = std::use_facet<std::codecvt<char, char, std::mbstate_t>>(loc).always_noconv();
    }

    bool m_deferring = true;
    bool m_convertsNothing = true;
    char m_storage[64 * 1024];
};

// Hands the bytes straight to the document's own file buffer when os writes there, in good
// state, untied, without unitbuf and without conversion: the sentry of an output function
// would do nothing and the buffer does not throw. False, writing nothing, elsewhere.
bool putIntoDocumentFile(std::ostream& os, const char* text, std::size_t length) {
    std::streambuf* buffer = os.rdbuf();
    if (buffer == nullptr || typeid(*buffer) != typeid(DeferredFileBuf) || os.rdstate() != 0 ||
        os.tie() != nullptr || (os.flags() & std::ios::unitbuf) != 0 ||
        !static_cast<DeferredFileBuf*>(buffer)->convertsNothing())
        return false;
    const auto size = static_cast<std::streamsize>(length);
    if (buffer->sputn(text, size) != size) os.setstate(std::ios::badbit);
    return true;
}

} // namespace

void XMLLineWriter::write(std::ostream& os, const char* text, std::size_t length) {
    if (!putIntoDocumentFile(os, text, length)) os.write(text, static_cast<std::streamsize>(length));
}

void XMLLineWriter::writeLine(std::ostream& os, const char* text, std::size_t length) {
    // The document file's sync() does nothing until the document is complete.
    if (putIntoDocumentFile(os, text, length)) return;
    if (length != 0) os.write(text, static_cast<std::streamsize>(length));
    os.flush();
}

bool XObject::EmitXMLToFile(const char* fileName, const char* dtdName) {
    const std::string name = fileName ? fileName : "";
    DeferredFileBuf buffer;
    if (name.empty() || buffer.open(name.c_str(), std::ios::out | std::ios::trunc) == nullptr)
        OSTREL_THROW("Error: Unable to open file '" + name + "' for XML output.");
    std::ostream out(&buffer);
    EmitXMLHeader(out, dtdName ? dtdName : "");
    EmitXML(out, 0);
    // A full disk or a failing device shows only here; never report it as success.
    buffer.stopDeferring();
    out.flush();
    const bool written = static_cast<bool>(out);
    if (buffer.close() == nullptr || !written)
        OSTREL_THROW("Error: Unable to write file '" + name + "' for XML output.");
    return true;
}

bool XObject::EmitXMLToFile(const std::string& fileName, const std::string& dtdName) {
    return EmitXMLToFile(fileName.c_str(), dtdName.c_str());
}

void XObject::EmitXMLHeader(std::ostream& os, std::string dtdName) {
    os << "<?" << "xml version='1.0'" << "?>" << std::endl;
    if (!dtdName.empty())
        os << "<!" << "DOCTYPE " << m_tag << ' ' << "SYSTEM " << '"' << dtdName << '"' << '>'
           << std::endl;
    os << "<!--" << " created with Ostrel version " << kVersionText << ' ' << "-->" << std::endl;
}

void XObject::EmitAttributes(std::ostream& os) {
    if (m_attributes == nullptr) return;
    for (auto& entry : *m_attributes) entry.second->EmitAsAttribute(os);
}

std::string XObject::ConvertToStdEntities(std::string& text) {
    // Most text holds none of the five characters: hand it back as it is.
    if (detail::findSpecial(text.data(), 0, text.size()) == text.size()) return text;
    std::string result;
    result.reserve(text.size() + 16);
    detail::escapeInto(text.data(), text.size(),
                       [&result](const char* p, std::size_t n) { result.append(p, n); });
    return result;
}

std::string XObject::doIndent(int level) {
    return level > 0 ? std::string(static_cast<std::size_t>(level), '\t') : std::string();
}

} // namespace Ostrel
