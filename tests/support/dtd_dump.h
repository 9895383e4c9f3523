// A compact canonical text of a DTD model, one declaration a line, for comparing models.
#ifndef OSTREL_TEST_DTD_DUMP_H
#define OSTREL_TEST_DTD_DUMP_H

#include <ostrelxml/dtd.h>

#include <string>

namespace ostrel_test {

// A literal in double quotes; line feeds, tabs, quotes and backslashes escaped.
inline std::string dtdQuoted(const std::string& s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c == '"' || c == '\\') (out += '\\') += c;
        else out += c;
    }
    return out + "\"";
}

// ELEMENT name model / ATTLIST element name type default / ENTITY [%] name "value" or
// its identifiers / NOTATION name identifiers / UNREAD %name, in the model's order.
inline std::string dumpDtd(const ostrel_xml::Dtd& dtd) {
    using namespace ostrel_xml;
    std::string out;
    auto ids = [](const std::string& pub, const std::string& sys) {
        std::string s;
        if (!pub.empty()) s += " PUBLIC " + dtdQuoted(pub);
        if (!sys.empty()) s += (pub.empty() ? " SYSTEM " : " ") + dtdQuoted(sys);
        return s;
    };
    for (const DtdElement& e : dtd.elements)
        out += "ELEMENT " + e.name + " " + describeModel(e) + "\n";
    for (const DtdAttribute& a : dtd.attributes) {
        out += "ATTLIST " + a.element + " " + a.name + " " + describeType(a) + " ";
        switch (a.defaultKind) {
        case DtdAttribute::Default::Required: out += "#REQUIRED"; break;
        case DtdAttribute::Default::Implied: out += "#IMPLIED"; break;
        case DtdAttribute::Default::Fixed: out += "#FIXED " + dtdQuoted(a.defaultValue); break;
        case DtdAttribute::Default::Value: out += dtdQuoted(a.defaultValue); break;
        }
        out += "\n";
    }
    for (const DtdEntity& e : dtd.entities) {
        out += std::string("ENTITY ") + (e.parameter ? "% " : "") + e.name;
        if (e.external)
            out += ids(e.publicId, e.systemId) + (e.notation.empty() ? "" : " NDATA " + e.notation);
        else
            out += " " + dtdQuoted(e.value);
        out += "\n";
    }
    for (const DtdNotation& n : dtd.notations)
        out += "NOTATION " + n.name + ids(n.publicId, n.systemId) + "\n";
    if (!dtd.unreadEntity.empty()) out += "UNREAD %" + dtd.unreadEntity + "\n";
    return out;
}

// The model written back as declarations that read into the same model: every character
// that a literal would change or end written as a character reference.
inline std::string writeDtd(const ostrel_xml::Dtd& dtd) {
    using namespace ostrel_xml;
    auto literal = [](const std::string& s, const char* special) {
        std::string out = "\"";
        for (char c : s) {
            if (c == '"' || std::string(special).find(c) != std::string::npos)
                out += "&#" + std::to_string(static_cast<unsigned char>(c)) + ";";
            else
                out += c;
        }
        return out + "\"";
    };
    auto identifier = [](const std::string& s) {
        const char quote = s.find('"') == std::string::npos ? '"' : '\'';
        return quote + s + quote;
    };
    auto ids = [&](const std::string& pub, const std::string& sys) {
        if (pub.empty()) return " SYSTEM " + identifier(sys);
        return " PUBLIC " + identifier(pub) + (sys.empty() ? "" : " " + identifier(sys));
    };
    std::string out;
    for (const DtdElement& e : dtd.elements)
        out += "<!ELEMENT " + e.name + " " + describeModel(e) + ">\n";
    for (const DtdAttribute& a : dtd.attributes) {
        out += "<!ATTLIST " + a.element + " " + a.name + " " + describeType(a) + " ";
        const std::string value = literal(a.defaultValue, "&<\t\n\r");
        switch (a.defaultKind) {
        case DtdAttribute::Default::Required: out += "#REQUIRED"; break;
        case DtdAttribute::Default::Implied: out += "#IMPLIED"; break;
        case DtdAttribute::Default::Fixed: out += "#FIXED " + value; break;
        case DtdAttribute::Default::Value: out += value; break;
        }
        out += ">\n";
    }
    for (const DtdEntity& e : dtd.entities) {
        out += std::string("<!ENTITY ") + (e.parameter ? "% " : "") + e.name;
        if (e.external)
            out += ids(e.publicId, e.systemId) + (e.notation.empty() ? "" : " NDATA " + e.notation);
        else
            out += " " + literal(e.value, "&%");
        out += ">\n";
    }
    for (const DtdNotation& n : dtd.notations)
        out += "<!NOTATION " + n.name + ids(n.publicId, n.systemId) + ">\n";
    return out;
}

} // namespace ostrel_test

#endif
