// <!ELEMENT name contentspec>: EMPTY, ANY, mixed content and children models.
#include "ostrelxml/dtd_reader.h"

namespace ostrel_xml {

namespace {
// Real models nest a few groups deep; the bound keeps recursion shallow on any input.
constexpr int kMaxModelDepth = 200;
} // namespace

void DtdReader::elementDeclaration() {
    const DtdPlace start = m_src.here();
    m_src.advance(9);
    requireSpace("after '<!ELEMENT'");
    DtdElement element;
    element.name = requireName("the element type's name after '<!ELEMENT'");
    element.position = position(start);
    requireSpace("after the element type's name '" + element.name + "'");
    const int b = m_src.peek();
    if (b == '(') {
        m_src.advance(1);
        skipSpace();
        if (m_src.lookingAt("#PCDATA")) {
            m_src.advance(7);
            mixedContent(element);
        } else {
            element.content = DtdElement::Content::Children;
            element.model = group(1);
        }
    } else {
        const DtdPlace at = m_src.here();
        std::string word;
        readName(word);
        if (word == "EMPTY") {
            element.content = DtdElement::Content::Empty;
        } else if (word == "ANY") {
            element.content = DtdElement::Content::Any;
        } else {
            std::string hint;
            if (word == "CDATA" || word == "RCDATA")
                hint = " (" + word + " content is SGML, not XML)";
            else if (word == "O" || b == '-')
                hint = " (omitted-tag minimization such as '- O' is SGML, not XML)";
            failAt(at, "expected 'EMPTY', 'ANY' or '(' for the content of element type '" +
                           element.name + "', found " +
                           (word.empty() ? found() : "'" + word + "'") + hint);
        }
    }
    endDeclaration("the declaration of element type '" + element.name + "'");
    // A repeated declaration is a validity error only: the first one stays.
    if (m_elements.insert(element.name).second) m_dtd.elements.push_back(std::move(element));
}

void DtdReader::mixedContent(DtdElement& element) {
    element.content = DtdElement::Content::Mixed;
    for (;;) {
        skipSpace();
        const int b = m_src.peek();
        if (b == ')') {
            m_src.advance(1);
            if (m_src.peek() == '*') {
                m_src.advance(1);
            } else if (!element.mixed.empty()) {
                fail("mixed content with element types must end with ')*': (#PCDATA | " +
                     element.mixed.front() + " ...)*, found " + found() + " after ')'");
            }
            return;
        }
        if (b != '|')
            fail("expected '|' or ')' in the mixed content of element type '" + element.name +
                 "', found " + found() +
                 (b == ',' ? " (mixed content lists element types with '|' only)" : ""));
        m_src.advance(1);
        skipSpace();
        if (m_src.peek() == '(')
            fail("mixed content lists element type names, not groups");
        element.mixed.push_back(requireName("an element type name after '|'"));
    }
}

ContentParticle DtdReader::group(int depth) {
    if (depth > kMaxModelDepth)
        fail("the content model nests groups more than " + std::to_string(kMaxModelDepth) +
             " deep");
    ContentParticle result;
    result.kind = ContentParticle::Kind::Sequence;
    int connector = 0;
    for (;;) {
        skipSpace();
        result.children.push_back(particle(depth, result.children.empty()));
        skipSpace();
        const int b = m_src.peek();
        if (b == ')') {
            m_src.advance(1);
            break;
        }
        if (b == '|' || b == ',') {
            if (connector != 0 && b != connector)
                fail(std::string("a group may not mix ',' and '|': found '") +
                     static_cast<char>(b) + "' after '" + static_cast<char>(connector) +
                     "' (use parentheses)");
            connector = b;
            m_src.advance(1);
            continue;
        }
        fail("expected ',', '|' or ')' in the content model, found " + found() +
             (b == '&' ? " (the '&' connector is SGML, not XML)" : ""));
    }
    if (connector == '|') result.kind = ContentParticle::Kind::Choice;
    result.occurrence = occurrence();
    return result;
}

ContentParticle DtdReader::particle(int depth, bool first) {
    const int b = m_src.peek();
    if (b == '(') {
        m_src.advance(1);
        return group(depth + 1);
    }
    if (b == ')' && first)
        fail("an empty group '()': a group holds at least one element type or group");
    if (m_src.lookingAt("#PCDATA"))
        fail("'#PCDATA' may stand only first in the outermost group, as in "
             "(#PCDATA | a | b)*");
    ContentParticle result;
    result.name = requireName("an element type name or '(' in the content model");
    result.occurrence = occurrence();
    return result;
}

ContentParticle::Occurrence DtdReader::occurrence() {
    using Occurrence = ContentParticle::Occurrence;
    switch (m_src.peek()) {
    case '?':
        m_src.advance(1);
        return Occurrence::Optional;
    case '*':
        m_src.advance(1);
        return Occurrence::ZeroOrMore;
    case '+':
        m_src.advance(1);
        return Occurrence::OneOrMore;
    default:
        return Occurrence::Once;
    }
}

} // namespace ostrel_xml
