// The common ground of the XKB element classes: tags, text attributes, leaves, copy errors.
#include "xkb/xkb_elements.h"

#include <ostrelbase/ostrelexcept.h>
#include <ostrelbase/xmlline.h>

namespace xkb {

void throwNoMemoryFor(const std::string& tag) {
    OSTREL_THROW("Error: Unable to allocate memory for element '" + tag + "'");
}

void throwNullChild() {
    OSTREL_THROW(std::string("Error: Attempt to add a null child element"));
}

std::unique_ptr<Ostrel::string> makeLeaf(const char* tag, const std::string& text) {
    auto leaf = std::make_unique<Ostrel::string>(text);
    leaf->SetTag(tag);
    return leaf;
}

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

const Ostrel::XObject* Element::findAttribute(const char* name) const {
    if (!m_attributes) return nullptr;
    auto found = m_attributes->find(name);
    return found == m_attributes->end() ? nullptr : found->second;
}

const Ostrel::string* Element::findTextAttribute(const char* name) const {
    return dynamic_cast<const Ostrel::string*>(findAttribute(name));
}

std::string Element::textAttribute(const char* name, const char* fallback) const {
    const Ostrel::string* text = findTextAttribute(name);
    return text ? static_cast<const std::string&>(*text) : std::string(fallback);
}

void Element::setTextAttribute(const char* name, const std::string& value) {
    const Ostrel::string text(value);
    setAttribute(name, &text);
}

bool Element::hasValidFrame(const char* tag, std::initializer_list<const char*> declared) {
    if (m_tag != tag) return false;
    if (m_attributes) {
        for (const auto& attribute : *m_attributes) {
            bool known = false;
            for (const char* name : declared) known = known || attribute.first == name;
            if (!known) return false;
        }
    }
    return hasValidAttributes();
}

void Element::setLeafText(Child<Ostrel::string>& leaf, const char* tag, const std::string& text) {
    if (leaf)
        leaf.get()->assign(text);
    else
        leaf.reset(makeLeaf(tag, text));
}

void Element::adoptLeaf(Child<Ostrel::string>& leaf, const char* tag,
                        std::unique_ptr<Ostrel::string> item) {
    // A leaf made for this place (every imported one) has its tag already.
    if (item && item->GetTag() != tag) item->SetTag(tag);
    leaf.reset(std::move(item));
}

} // namespace xkb
