// <!ATTLIST element AttDef*>: attribute types and defaults, the defaults normalized the
// way a document's attribute values are.
#include "ostrelxml/dtd_reader.h"

#include "ostrelxml/entities.h"
#include "ostrelxml/references.h"
#include "ostrelxml/xmlchars.h"

namespace ostrel_xml {

namespace {

struct TypeName {
    const char* name;
    DtdAttribute::Type type;
};
const TypeName kTypes[] = {
    {"CDATA", DtdAttribute::Type::CData},       {"ID", DtdAttribute::Type::Id},
    {"IDREF", DtdAttribute::Type::IdRef},       {"IDREFS", DtdAttribute::Type::IdRefs},
    {"ENTITY", DtdAttribute::Type::Entity},     {"ENTITIES", DtdAttribute::Type::Entities},
    {"NMTOKEN", DtdAttribute::Type::NmToken},   {"NMTOKENS", DtdAttribute::Type::NmTokens},
    {"NOTATION", DtdAttribute::Type::Notation},
};

} // namespace

void DtdReader::attlistDeclaration() {
    const DtdPlace start = m_src.here();
    m_src.advance(9);
    requireSpace("after '<!ATTLIST'");
    const std::string element = requireName("the element type's name after '<!ATTLIST'");
    for (;;) {
        const bool space = skipSpace();
        if (m_src.peek() == '>') {
            m_src.advance(1);
            return;
        }
        if (!space || m_src.atEnd())
            fail("expected white space and an attribute name, or '>', in the attribute-list "
                 "declaration of '" + element + "', found " + found());
        DtdAttribute attribute;
        attribute.element = element;
        attribute.position = position(start);
        attribute.name = requireName("an attribute name or '>' in the attribute-list "
                                     "declaration of '" + element + "'");
        requireSpace("after attribute name '" + attribute.name + "'");
        attributeType(attribute);
        requireSpace("before the default of attribute '" + attribute.name + "'");
        if (m_src.peek() == '#') {
            const DtdPlace at = m_src.here();
            m_src.advance(1);
            std::string keyword;
            readName(keyword);
            if (keyword == "REQUIRED") {
                attribute.defaultKind = DtdAttribute::Default::Required;
            } else if (keyword == "IMPLIED") {
                attribute.defaultKind = DtdAttribute::Default::Implied;
            } else if (keyword == "FIXED") {
                attribute.defaultKind = DtdAttribute::Default::Fixed;
                requireSpace("after '#FIXED'");
                attribute.defaultValue = defaultValue(attribute);
            } else {
                failAt(at, "expected '#REQUIRED', '#IMPLIED', '#FIXED' or a quoted default "
                           "for attribute '" + attribute.name + "', found '#" + keyword + "'");
            }
        } else {
            attribute.defaultKind = DtdAttribute::Default::Value;
            attribute.defaultValue = defaultValue(attribute);
        }
        // The first definition of an attribute binds; after an entity that was not read
        // the declaration is only checked (XML 1.0 section 5.1).
        if (m_processing && m_attributes.emplace(element, attribute.name).second)
            m_dtd.attributes.push_back(std::move(attribute));
    }
}

void DtdReader::attributeType(DtdAttribute& attribute) {
    if (m_src.peek() == '(') {
        attribute.type = DtdAttribute::Type::Enumeration;
        tokenList(attribute, false);
        return;
    }
    const DtdPlace at = m_src.here();
    std::string word;
    readName(word);
    for (const TypeName& known : kTypes) {
        if (word != known.name) continue;
        attribute.type = known.type;
        if (known.type == DtdAttribute::Type::Notation) {
            requireSpace("after 'NOTATION'");
            if (m_src.peek() != '(')
                fail("expected '(' and the notation names after 'NOTATION', found " + found());
            tokenList(attribute, true);
        }
        return;
    }
    failAt(at, "expected the type of attribute '" + attribute.name +
                   "' (CDATA, ID, IDREF, IDREFS, ENTITY, ENTITIES, NMTOKEN, NMTOKENS, "
                   "NOTATION or '('), found " +
                   (word.empty() ? found() : "'" + word + "'"));
}

void DtdReader::tokenList(DtdAttribute& attribute, bool names) {
    m_src.advance(1);
    for (;;) {
        skipSpace();
        std::string token;
        if (names ? !readName(token) : !readNmtoken(token))
            fail(std::string("expected ") + (names ? "a notation name" : "a name token") +
                 " in the values of attribute '" + attribute.name + "', found " + found());
        attribute.values.push_back(token);
        skipSpace();
        const int b = m_src.peek();
        if (b == ')') {
            m_src.advance(1);
            return;
        }
        if (b != '|')
            fail("expected '|' or ')' in the values of attribute '" + attribute.name +
                 "', found " + found());
        m_src.advance(1);
    }
}

std::string DtdReader::defaultValue(const DtdAttribute& attribute) {
    const std::string what = "the default of attribute '" + attribute.name + "'";
    const size_t length = literalLength(what);
    m_src.advance(1);
    std::string out;
    for (size_t i = 1; i + 1 < length;) {
        const std::string_view rest = m_src.rest();
        const char c = rest[0];
        if (c == '<') fail("'<' is not allowed in an attribute value (write '&lt;')");
        if (c == '&') {
            const DtdPlace at = m_src.here();
            Reference ref;
            const std::string problem = parseReference(rest.substr(0, length - 1 - i), 0, ref);
            if (!problem.empty()) fail(problem);
            if (ref.isChar)
                appendUtf8(out, ref.code);
            else
                expandInDefault(ref.name, out, at, 1);
            m_src.advance(ref.end);
            i += ref.end;
            continue;
        }
        out += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
        m_src.advance(1);
        ++i;
    }
    m_src.advance(1);
    if (attribute.type != DtdAttribute::Type::CData) collapseBlanks(out);
    return out;
}

void DtdReader::expandInDefault(const std::string& name, std::string& out, const DtdPlace& at,
                                int depth) {
    char predefined = 0;
    if (Entities::predefined(name, &predefined)) {
        out += predefined;
        return;
    }
    auto declared = m_general.find(name);
    if (declared == m_general.end()) {
        // After an entity that was not read this one may be declared in it.
        if (!m_processing) return;
        failAt(at, "entity '" + name + "' is not declared; a default value may refer only to "
                   "entities declared before it" +
                       (m_options.hasExternalSubset ? " (the external DTD is never read)"
                                                    : ""));
    }
    const DtdEntity& entity = m_dtd.entities[declared->second];
    if (!entity.notation.empty())
        failAt(at, "entity '" + name + "' is an unparsed (NDATA) entity and cannot be "
                   "referred to in an attribute value");
    if (entity.external)
        failAt(at, "entity '" + name + "' is external; attribute values may not refer to "
                   "external entities");
    for (const std::string& active : m_active)
        if (active == name) failAt(at, "entity '" + name + "' refers to itself");
    if (depth > kMaxEntityDepth)
        failAt(at, "entities nest more than " + std::to_string(kMaxEntityDepth) +
                       " levels deep (at entity '" + name + "')");
    charge(entity.value.size(), at, name);
    // The model's vector does not grow while a default is read: the view stays valid.
    const std::string_view text = entity.value;
    m_active.push_back(name);
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '<')
            failAt(at, "'<' is not allowed in an attribute value (it comes from entity '" +
                           name + "')");
        if (c == '&') {
            Reference ref;
            const std::string problem = parseReference(text, i, ref);
            if (!problem.empty())
                failAt(at, problem + " (in the replacement text of entity '" + name + "')");
            if (ref.isChar)
                appendUtf8(out, ref.code);
            else
                expandInDefault(ref.name, out, at, depth + 1);
            i = ref.end;
            continue;
        }
        out += (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
        ++i;
    }
    m_active.pop_back();
}

} // namespace ostrel_xml
