// <!ENTITY ...> and <!NOTATION ...>: entity values, external identifiers, literals.
#include "ostrelxml/dtd_reader.h"

#include "ostrelxml/entities.h"
#include "ostrelxml/references.h"
#include "ostrelxml/xmlchars.h"

namespace ostrel_xml {

void DtdReader::entityDeclaration() {
    const DtdPlace start = m_src.here();
    m_src.advance(8);
    requireSpace("after '<!ENTITY'");
    DtdEntity entity;
    entity.position = position(start);
    if (m_src.peek() == '%') {
        m_src.advance(1);
        requireSpace("after '%' in a parameter entity declaration");
        entity.parameter = true;
    }
    entity.name = requireName("the entity's name");
    requireSpace("after the entity name '" + entity.name + "'");
    const int b = m_src.peek();
    if (b == '"' || b == '\'') {
        entity.value = entityValue(entity.name);
    } else if (m_src.lookingAt("SYSTEM") || m_src.lookingAt("PUBLIC")) {
        entity.external = true;
        externalId(entity.publicId, entity.systemId, false);
        const bool space = skipSpace();
        if (space && m_src.lookingAt("NDATA")) {
            if (entity.parameter)
                fail("a parameter entity cannot be unparsed: 'NDATA' is for general entities");
            m_src.advance(5);
            requireSpace("after 'NDATA'");
            entity.notation = requireName("a notation name after 'NDATA'");
        }
    } else {
        fail("expected the value of entity '" + entity.name +
             "' in quotes, or SYSTEM or PUBLIC, found " + found());
    }
    endDeclaration("the declaration of entity '" + entity.name + "'");
    // After an entity that was not read the declaration is only checked (XML 1.0 section
    // 5.1); the first declaration of a name binds, and the predefined ones stay as they are.
    if (!m_processing) return;
    if (entity.parameter) {
        if (m_parameter.emplace(entity.name, m_dtd.entities.size()).second)
            m_dtd.entities.push_back(std::move(entity));
    } else if (Entities::predefinedIndex(entity.name) < 0) {
        if (m_general.emplace(entity.name, m_dtd.entities.size()).second)
            m_dtd.entities.push_back(std::move(entity));
    }
}

std::string DtdReader::entityValue(const std::string& entity) {
    const size_t length = literalLength("the value of entity '" + entity + "'");
    m_src.advance(1);
    std::string out;
    for (size_t i = 1; i + 1 < length;) {
        const std::string_view rest = m_src.rest().substr(0, length - 1 - i);
        const char c = rest[0];
        if (c == '%') {
            const DtdPlace at = m_src.here();
            m_src.advance(1);
            std::string name;
            if (!readName(name) || m_src.peek() != ';')
                failAt(at, "'%' must begin a parameter-entity reference '%name;' (write "
                           "'&#37;' for a literal '%')");
            m_src.advance(1);
            i += name.size() + 2;
            if (!m_options.externalSubset)
                failAt(at, "parameter-entity reference '%" + name + ";' inside an entity "
                           "value: in the internal subset they may stand only between "
                           "declarations");
            includeInLiteral(name, out, at, 1);
            continue;
        }
        if (c == '&') {
            Reference ref;
            const std::string problem = parseReference(rest, 0, ref);
            if (!problem.empty()) fail(problem);
            // Character references take effect now, entity references when used.
            if (ref.isChar)
                appendUtf8(out, ref.code);
            else
                out.append(rest.substr(0, ref.end));
            m_src.advance(ref.end);
            i += ref.end;
            continue;
        }
        size_t n = 1;
        while (n < rest.size() && rest[n] != '%' && rest[n] != '&') ++n;
        out.append(rest.substr(0, n));
        m_src.advance(n);
        i += n;
    }
    m_src.advance(1);
    return out;
}

void DtdReader::includeInLiteral(const std::string& name, std::string& out, const DtdPlace& at,
                                 int depth) {
    const std::string ref = "'%" + name + ";'";
    auto declared = m_parameter.find(name);
    if (declared == m_parameter.end())
        failAt(at, "parameter entity " + ref + " is not declared (a parameter entity must be "
                   "declared before it is referenced)");
    if (activeParameter(name)) failAt(at, "parameter entity " + ref + " refers to itself");
    if (depth > kMaxEntityDepth)
        failAt(at, "parameter entities nest more than " + std::to_string(kMaxEntityDepth) +
                       " levels deep (at " + ref + ")");
    // A copy: the text must outlive declarations that its reading might add.
    const DtdEntity entity = m_dtd.entities[declared->second];
    std::string text;
    if (entity.external) {
        text = externalText(entity, at).text;
    } else {
        text = entity.value;
        charge(text.size(), at, name);
    }
    m_active.push_back("%" + name);
    DtdPlace inside = at;
    inside.entity = name;
    appendLiteralText(text, out, name, inside, depth);
    m_active.pop_back();
}

void DtdReader::appendLiteralText(std::string_view text, std::string& out,
                                  const std::string& name, const DtdPlace& at, int depth) {
    // The text is read in place of the reference, its quotes being plain characters
    // (XML 1.0 section 4.4.5).
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '%' || c == '&') {
            Reference ref;
            std::string problem;
            if (c == '%') {
                // '%name;' has the syntax of '&name;'.
                const size_t semicolon = text.find(';', i);
                std::string probe = "&";
                if (semicolon != std::string_view::npos)
                    probe.append(text.substr(i + 1, semicolon - i));
                problem = parseReference(probe, 0, ref);
                if (!problem.empty() || ref.isChar)
                    failAt(at, "'%' must begin a parameter-entity reference '%name;'");
                includeInLiteral(ref.name, out, at, depth + 1);
                i += ref.end;
                continue;
            }
            problem = parseReference(text, i, ref);
            if (!problem.empty()) failAt(at, problem + " (in parameter entity '%" + name + ";')");
            if (ref.isChar)
                appendUtf8(out, ref.code);
            else
                out.append(text.substr(i, ref.end - i));
            i = ref.end;
            continue;
        }
        out += c;
        ++i;
    }
}

void DtdReader::externalId(std::string& publicId, std::string& systemId, bool publicAlone) {
    const bool isPublic = m_src.lookingAt("PUBLIC");
    if (!isPublic && !m_src.lookingAt("SYSTEM"))
        fail("expected 'SYSTEM' or 'PUBLIC', found " + found());
    m_src.advance(6);
    requireSpace(isPublic ? "after 'PUBLIC'" : "after 'SYSTEM'");
    if (isPublic) {
        publicId = quoted("the public identifier", true);
        if (publicAlone) {
            const bool space = skipSpace();
            const int b = m_src.peek();
            if (b != '"' && b != '\'') return;
            if (!space)
                fail("expected white space between the public and the system identifier, "
                     "found " + found());
        } else {
            requireSpace("and the system identifier after the public identifier");
        }
    }
    systemId = quoted("the system identifier", false);
}

std::string DtdReader::quoted(const std::string& what, bool pubid) {
    const size_t length = literalLength(what);
    const std::string_view text = m_src.rest().substr(1, length - 2);
    if (pubid) {
        for (size_t i = 0; i < text.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            if (isPubidChar(c)) continue;
            m_src.advance(1 + i);
            int len = 0;
            fail("a public identifier may not hold " + describeChar(m_src.peekChar(len)) +
                 " (letters, digits, white space and -'()+,./:=?;!*#@$_% only)");
        }
    }
    std::string value(text);
    m_src.advance(length);
    return value;
}

void DtdReader::notationDeclaration() {
    const DtdPlace start = m_src.here();
    m_src.advance(10);
    requireSpace("after '<!NOTATION'");
    DtdNotation notation;
    notation.position = position(start);
    notation.name = requireName("the notation's name after '<!NOTATION'");
    requireSpace("after the notation name '" + notation.name + "'");
    externalId(notation.publicId, notation.systemId, true);
    endDeclaration("the declaration of notation '" + notation.name + "'");
    if (m_notations.insert(notation.name).second) m_dtd.notations.push_back(std::move(notation));
}

} // namespace ostrel_xml
