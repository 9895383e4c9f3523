// XML output: documents, headers, attributes, escaping and indentation.
#include <ostrelbase/ostrel.h>

#include <fstream>

namespace Ostrel {

namespace {
const char* const kVersionText = "1.2";
}

bool XObject::EmitXMLToFile(const char* fileName, const char* dtdName) {
    const std::string name = fileName ? fileName : "";
    std::ofstream out;
    if (!name.empty()) out.open(name);
    if (!out.is_open() || !out)
        OSTREL_THROW("Error: Unable to open file '" + name + "' for XML output.");
    EmitXMLHeader(out, dtdName ? dtdName : "");
    EmitXML(out, 0);
    // A full disk or a failing device shows only here; never report it as success.
    out.flush();
    const bool written = static_cast<bool>(out);
    out.close();
    if (!written || out.fail())
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
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': result += "&amp;"; break;
        case '<': result += "&lt;"; break;
        case '>': result += "&gt;"; break;
        case '"': result += "&quot;"; break;
        case '\'': result += "&apos;"; break;
        default: result += c; break;
        }
    }
    return result;
}

std::string XObject::doIndent(int level) {
    return level > 0 ? std::string(static_cast<std::size_t>(level), '\t') : std::string();
}

} // namespace Ostrel
