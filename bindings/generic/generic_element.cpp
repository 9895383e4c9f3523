#include "generic/generic_element.h"

#include <algorithm>
#include <iterator>
#include <new>
#include <typeinfo>

namespace generic {

namespace {

const Ostrel::string* asText(const Ostrel::XObject* object) {
    return dynamic_cast<const Ostrel::string*>(object);
}

} // namespace

GenericElement::GenericElement(const std::string& tag) : GenericElement(std::string_view(tag)) {}

GenericElement::GenericElement(const char* tag) : XObject(tag) {}

GenericElement::GenericElement(std::string_view tag) : XObject(tag.data(), tag.size()) {}

GenericElement::GenericElement(const GenericElement& other) : XObject(other) {
    m_children.reserve(other.m_children.size());
    for (const auto& c : other.m_children) {
        Ostrel::XObject* copy = c->clone();
        if (!copy) throw std::bad_alloc();
        m_children.emplace_back(copy);
    }
}

GenericElement::~GenericElement() = default;

void GenericElement::setAttributeText(const std::string& name, const std::string& value) {
    Ostrel::string v(value);
    setAttribute(name, &v);
}

const Ostrel::string* GenericElement::attributeValue(const std::string& name) const {
    if (!m_attributes) return nullptr;
    auto found = m_attributes->find(name);
    return found == m_attributes->end() ? nullptr : asText(found->second);
}

void GenericElement::appendChild(std::unique_ptr<Ostrel::XObject> child) {
    if (child) m_children.push_back(std::move(child));
}

std::unique_ptr<Ostrel::XObject> GenericElement::textAfter(Ostrel::XObject* last,
                                                           std::string_view text) {
    // An element is the usual last child, and no text; the cast decides the rest.
    if (last && typeid(*last) != typeid(GenericElement)) {
        if (auto* lastText = dynamic_cast<Ostrel::string*>(last)) {
            static_cast<std::string&>(*lastText) += text;
            return nullptr;
        }
    }
    auto child = std::make_unique<Ostrel::string>();
    // Appending to the new, empty text skips assign's check for overlapping text.
    child->append(text.data(), text.size());
    return child;
}

void GenericElement::adoptChildren(std::vector<std::unique_ptr<Ostrel::XObject>>& from,
                                   size_t first) {
    if (!m_children.empty()) {
        m_children.insert(m_children.end(), std::make_move_iterator(from.begin() + first),
                          std::make_move_iterator(from.end()));
        return;
    }
    m_children = Children(std::make_move_iterator(from.begin() + first),
                          std::make_move_iterator(from.end()));
}

bool GenericElement::isText(size_t i) const { return asText(m_children[i].get()) != nullptr; }

bool GenericElement::sameTree(const GenericElement& other) const {
    if (m_tag != other.m_tag || m_children.size() != other.m_children.size()) return false;
    const size_t mine = m_attributes ? m_attributes->size() : 0;
    const size_t theirs = other.m_attributes ? other.m_attributes->size() : 0;
    if (mine != theirs) return false;
    if (m_attributes) {
        for (const auto& entry : *m_attributes) {
            const Ostrel::string* a = asText(entry.second);
            const Ostrel::string* b = other.attributeValue(entry.first);
            if (!a || !b || static_cast<const std::string&>(*a) != *b) return false;
        }
    }
    for (size_t i = 0; i < m_children.size(); ++i) {
        const Ostrel::XObject* a = m_children[i].get();
        const Ostrel::XObject* b = other.m_children[i].get();
        const Ostrel::string* ta = asText(a);
        const Ostrel::string* tb = asText(b);
        if (ta || tb) {
            if (!ta || !tb || static_cast<const std::string&>(*ta) != *tb) return false;
            continue;
        }
        const auto* ea = dynamic_cast<const GenericElement*>(a);
        const auto* eb = dynamic_cast<const GenericElement*>(b);
        if (!ea || !eb || !ea->sameTree(*eb)) return false;
    }
    return true;
}

std::string GenericElement::escape(const std::string& text, bool attribute) {
    std::string copy(text);
    std::string five = ConvertToStdEntities(copy);
    if (five.find_first_of(attribute ? "\t\n\r" : "\r") == std::string::npos) return five;
    // A reader turns literal line ends (and, in attribute values, tabs and line feeds)
    // into something else; references keep them.
    std::string out;
    out.reserve(five.size() + 16);
    for (char c : five) {
        if (c == '\r')
            out += "&#13;";
        else if (attribute && c == '\n')
            out += "&#10;";
        else if (attribute && c == '\t')
            out += "&#9;";
        else
            out += c;
    }
    return out;
}

void GenericElement::emitStartTag(std::ostream& os) {
    os << '<' << m_tag;
    if (!m_attributes) return;
    for (const auto& entry : *m_attributes) {
        if (const Ostrel::string* value = asText(entry.second))
            os << ' ' << entry.first << "='" << escape(*value, true) << '\'';
        else
            entry.second->EmitAsAttribute(os);
    }
}

bool GenericElement::EmitXML(std::ostream& os, int indent) {
    os << doIndent(indent);
    emitStartTag(os);
    if (m_children.empty()) {
        os << "/>\n";
        return true;
    }
    bool text = false, elements = false;
    for (const auto& c : m_children) (asText(c.get()) ? text : elements) = true;
    if (elements && !text) {
        os << ">\n";
        for (const auto& c : m_children) c->EmitXML(os, indent + 1);
        os << doIndent(indent);
    } else {
        // Text alone, or mixed content: nothing may be added around the text.
        os << '>';
        emitChildrenInline(os);
    }
    os << "</" << m_tag << ">\n";
    return true;
}

void GenericElement::emitInline(std::ostream& os) {
    emitStartTag(os);
    if (m_children.empty()) {
        os << "/>";
        return;
    }
    os << '>';
    emitChildrenInline(os);
    os << "</" << m_tag << '>';
}

void GenericElement::emitChildrenInline(std::ostream& os) {
    for (const auto& c : m_children) {
        if (const Ostrel::string* text = asText(c.get()))
            os << escape(*text, false);
        else if (auto* element = dynamic_cast<GenericElement*>(c.get()))
            element->emitInline(os);
        else
            c->EmitXML(os, 0);
    }
}

Ostrel::XObject* GenericElement::clone() const {
    try {
        return new (std::nothrow) GenericElement(*this);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

bool GenericElement::IsValid() {
    if (!hasValidAttributes()) return false;
    for (const auto& c : m_children)
        if (!c->IsValid()) return false;
    return true;
}

bool GenericElement::HasElement(std::string name) const {
    return std::any_of(m_children.begin(), m_children.end(), [&](const auto& c) {
        return !asText(c.get()) && c->GetTag() == name;
    });
}

void GenericElement::RemoveElement(std::string name) {
    m_children.erase(std::remove_if(m_children.begin(), m_children.end(),
                                    [&](const std::unique_ptr<Ostrel::XObject>& c) {
                                        return !asText(c.get()) && c->GetTag() == name;
                                    }),
                     m_children.end());
}

} // namespace generic
