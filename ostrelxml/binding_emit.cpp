// Writing the elements of generated bindings. Element content goes one child per line, a
// level deeper; text, mixed and ANY content stay on the element's line exactly as held,
// since every character there belongs to the document.
#include "ostrelxml/binding_element.h"

#include <ostrelbase/xmlline.h>

namespace ostrel_xml {
namespace binding {

bool Element::openTag(std::ostream& os, int indent, bool hasContent) {
    Ostrel::XMLLineWriter line(os);
    line.indent(indent);
    line.append('<');
    line.append(m_tag);
    if (m_attributes && !m_attributes->empty()) {
        // Without attributes the start tag stays one write.
        line.commit();
        EmitAttributes(os);
    }
    if (m_type->content == Content::Empty) {
        line.append("/>\n", 3);
        line.commit();
        return false;
    }
    if (!hasContent) {
        line.append('>');
        line.endTag(m_tag);
        line.append('\n');
        line.commit();
        return false;
    }
    line.append(">\n", 2);
    line.commit();
    return true;
}

void Element::closeTag(std::ostream& os, int indent) {
    Ostrel::XMLLineWriter line(os);
    line.indent(indent);
    line.endTag(m_tag);
    line.append('\n');
    line.commit();
}

bool Element::EmitXML(std::ostream& os, int indent) {
    if (m_type->content == Content::Elements || m_type->content == Content::Empty) {
        if (!openTag(os, indent, !m_children.empty())) return true;
        const std::size_t n = m_children.size();
        for (std::size_t i = 0; i < n; ++i) {
            if (i + 1 < n) Ostrel::prefetchObject(m_children[i + 1].object.get());
            m_children[i].object->EmitXML(os, indent + 1);
        }
        closeTag(os, indent);
        return true;
    }
    {
        Ostrel::XMLLineWriter line(os);
        line.indent(indent);
        line.commit();
    }
    emitInline(os);
    os << '\n';
    return true;
}

void Element::emitInline(std::ostream& os) {
    {
        Ostrel::XMLLineWriter line(os);
        line.append('<');
        line.append(m_tag);
        line.commit();
    }
    EmitAttributes(os);
    if (m_type->content == Content::Empty) {
        os << "/>";
        return;
    }
    os << '>';
    emitContentInline(os);
    Ostrel::XMLLineWriter line(os);
    line.endTag(m_tag);
    line.commit();
}

void Element::emitContentInline(std::ostream& os) {
    if (Ostrel::XObject* value = textValue()) {
        std::string text = valueText(m_type->textType, *value);
        os << ConvertToStdEntities(text);
        return;
    }
    for (Slot& slot : m_children) {
        Ostrel::XObject& child = *slot.object;
        if (slot.kind == kTextKind) {
            child.EmitXML(os, 0);  // a "#PCDATA" string writes its escaped text alone
        } else if (auto* element = dynamic_cast<Element*>(&child)) {
            element->emitInline(os);
        } else {
            std::string text = valueText(typeOf(slot.kind).textType, child);
            os << '<' << child.GetTag() << '>' << ConvertToStdEntities(text) << "</"
               << child.GetTag() << '>';
        }
    }
}

} // namespace binding
} // namespace ostrel_xml
