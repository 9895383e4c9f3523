// A DTD model written back as declarations, one a line: the canonical text the tests
// compare models by, and what the DTD fuzz target reads again.
#ifndef OSTREL_TEST_DTD_DUMP_H
#define OSTREL_TEST_DTD_DUMP_H

#include <ostrelxml/dtd.h>

#include <string>

namespace ostrel_test {

// Declarations that read into the same model: every character a literal would change or
// end is written as a character reference.
inline std::string writeDtd(const ostrel_xml::Dtd& dtd) {
    using namespace ostrel_xml;
    auto literal = [](const std::string& s, const std::string& special) {
        std::string out = "\"";
        for (char c : s)
            out += c == '"' || special.find(c) != std::string::npos
                       ? "&#" + std::to_string(static_cast<unsigned char>(c)) + ";"
                       : std::string(1, c);
        return out + "\"";
    };
    // An identifier holds no character reference: quoted by the quote it does not hold.
    auto id = [](const std::string& s) {
        return s.find('"') == std::string::npos ? '"' + s + '"' : '\'' + s + '\'';
    };
    // Only a notation may leave out the system identifier; an entity's may be empty ("").
    auto ids = [&](const std::string& pub, const std::string& sys, bool systemOptional) {
        return pub.empty() ? " SYSTEM " + id(sys)
                           : " PUBLIC " + id(pub) +
                                 (sys.empty() && systemOptional ? "" : " " + id(sys));
    };
    std::string out;
    for (const DtdElement& e : dtd.elements)
        out += "<!ELEMENT " + e.name + " " + describeModel(e) + ">\n";
    for (const DtdAttribute& a : dtd.attributes) {
        const std::string value = literal(a.defaultValue, "&<\t\n\r");
        const char* const kinds[] = {"#REQUIRED", "#IMPLIED", "#FIXED ", ""};
        const auto kind = static_cast<int>(a.defaultKind);
        out += "<!ATTLIST " + a.element + " " + a.name + " " + describeType(a) + " " + kinds[kind] +
               (kind >= 2 ? value : "") + ">\n";
    }
    for (const DtdEntity& e : dtd.entities) {
        const std::string ndata = e.notation.empty() ? "" : " NDATA " + e.notation;
        out += std::string("<!ENTITY ") + (e.parameter ? "% " : "") + e.name +
               (e.external ? ids(e.publicId, e.systemId, false) + ndata : " " + literal(e.value, "&%")) + ">\n";
    }
    for (const DtdNotation& n : dtd.notations)
        out += "<!NOTATION " + n.name + ids(n.publicId, n.systemId, true) + ">\n";
    return out;
}

// writeDtd, and the external parameter entity whose reference ended reading, if any.
inline std::string dumpDtd(const ostrel_xml::Dtd& dtd) {
    return writeDtd(dtd) + (dtd.unreadEntity.empty() ? "" : "UNREAD %" + dtd.unreadEntity + "\n");
}

} // namespace ostrel_test

#endif
