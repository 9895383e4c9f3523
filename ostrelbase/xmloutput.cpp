// XML output: documents, headers, attributes, escaping and indentation.
#include <ostrelbase/xmlescape_impl.h>
#include <ostrelbase/ostrel.h>

#include <fstream>

namespace Ostrel {

namespace {

const char* const kVersionText = "1.2";

// A file buffer that lets the line ends' flushes wait until the document is complete:
// one write per buffer instead of one per line. Closing (also when an exception
// escapes) still writes out everything that was put.
class DeferredFileBuf : public std::filebuf {
public:
    DeferredFileBuf() { pubsetbuf(m_storage, sizeof m_storage); }
    ~DeferredFileBuf() override { close(); }
    void stopDeferring() { m_deferring = false; }

protected:
    int sync() override { return m_deferring ? 0 : std::filebuf::sync(); }

private:
    bool m_deferring = true;
    char m_storage[64 * 1024];
};

} // namespace

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
    if (text.find_first_of("&<>\"'") == std::string::npos) return text;
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
