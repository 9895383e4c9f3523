// Validity of the elements of generated bindings: tag, attributes and content model.
#include "ostrelxml/binding_element.h"

namespace ostrel_xml {
namespace binding {

namespace {

const AttributeType* declaration(const ElementType& type, const std::string& name) {
    for (unsigned a = 0; a < type.attributeCount; ++a)
        if (name == type.attributes[a].name) return &type.attributes[a];
    return nullptr;
}

} // namespace

bool Element::IsValid() {
    return m_tag == m_type->name && hasValidAttributeSet() && hasValidContent();
}

bool Element::hasValidAttributeSet() {
    if (m_attributes) {
        for (const auto& attribute : *m_attributes) {
            const AttributeType* declared = declaration(*m_type, attribute.first);
            if (!declared || !isAllowedValue(*declared, *attribute.second)) return false;
        }
    }
    for (unsigned a = 0; a < m_type->attributeCount; ++a) {
        const AttributeType& attribute = m_type->attributes[a];
        if (attribute.presence == Presence::Required && !findAttribute(attribute.name))
            return false;
    }
    return hasValidAttributes();
}

bool Element::hasValidContent() {
    const Content content = m_type->content;
    if (content == Content::Text) {
        Ostrel::XObject* value = textValue();
        return m_children.empty() && value && isValueOf(m_type->textType, *value) &&
               value->IsValid();
    }
    int state = 0;
    for (Slot& slot : m_children) {
        if (slot.kind == kTextKind) {
            if (content != Content::Mixed && content != Content::Any) return false;
            continue;
        }
        Ostrel::XObject& child = *slot.object;
        const Schema& schema = *m_type->schema;
        const Kind kind = findKind(schema, child.GetTag().c_str());
        if (kind == schema.count) return false;
        state = nextState(*m_type, state, kind);
        if (state < 0 || !schema.types[kind].isA(child) || !child.IsValid()) return false;
    }
    switch (content) {
    case Content::Empty: return m_children.empty();
    case Content::Any: return true;
    default: return m_type->states[state].accepting;
    }
}

} // namespace binding
} // namespace ostrel_xml
