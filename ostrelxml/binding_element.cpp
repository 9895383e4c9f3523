// The element base of generated bindings: construction with attribute defaults, copies,
// the ordered children and the views' access to them, HasElement and RemoveElement.
#include "ostrelxml/binding_element.h"

#include <ostrelbase/ostrelexcept.h>
#include <ostrelbase/xobjfactory.h>

#include <cstring>

namespace ostrel_xml {
namespace binding {

void throwNoMemoryFor(const std::string& tag) {
    OSTREL_THROW("Error: Unable to allocate memory for element '" + tag + "'");
}

void throwNullChild() { OSTREL_THROW(std::string("Error: Attempt to add a null child element")); }

namespace {

// Where a child of kind goes among the children of type: its rank; after everything for
// a kind the model does not name.
unsigned rankOf(const ElementType& type, Kind kind) {
    if (kind == kTextKind) return 0;
    for (unsigned c = 0; c < type.childCount; ++c)
        if (type.children[c].kind == kind) return type.children[c].rank;
    return 0xFFFF;
}

} // namespace

Element::Element(const ElementType& type) : XObject(type.name), m_type(&type) {
    for (unsigned a = 0; a < type.attributeCount; ++a) {
        const AttributeType& attribute = type.attributes[a];
        if (attribute.defaultValue)
            setImportedAttribute(attribute, attribute.defaultValue,
                                 std::strlen(attribute.defaultValue));
    }
}

Element::Element(const Element& other)
    : XObject(other), m_type(other.m_type), m_children(copyOf(other.m_children)) {}

Element::Slots Element::copyOf(const Slots& children) {
    Slots copies;
    if (children.empty()) return copies;  // every element an import makes from its prototype
    copies.reserve(children.size());
    for (const Slot& slot : children) {
        std::unique_ptr<Ostrel::XObject> copy(slot.object->clone());
        if (!copy) throwNoMemoryFor(slot.object->GetTag());
        copies.push_back(Slot{std::move(copy), slot.kind});
    }
    return copies;
}

Element::~Element() = default;

Element& Element::operator=(const Element& other) {
    if (this == &other) return *this;
    Slots copies = copyOf(other.m_children);
    XObject::operator=(other);
    m_children.swap(copies);
    ++m_revision;
    return *this;
}

bool Element::HasElement(std::string name) const {
    for (const Slot& slot : m_children)
        if (slot.kind != kTextKind && slot.object->GetTag() == name) return true;
    return false;
}

void Element::RemoveElement(std::string name) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_children.size(); ++i) {
        Slot& slot = m_children[i];
        if (slot.kind != kTextKind && slot.object->GetTag() == name) continue;
        if (kept != i) m_children[kept] = std::move(slot);
        ++kept;
    }
    m_children.resize(kept);
    ++m_revision;
}

bool Element::RemoveChild(std::size_t index) {
    if (index >= m_children.size()) return false;
    m_children.erase(m_children.begin() + static_cast<std::ptrdiff_t>(index));
    ++m_revision;
    return true;
}

Ostrel::XObject* Element::findChild(Kind kind) const {
    for (const Slot& slot : m_children)
        if (slot.kind == kind) return slot.object.get();
    return nullptr;
}

void Element::setChild(Kind kind, std::unique_ptr<Ostrel::XObject> child) {
    if (!child) {
        removeAll(kind);
        return;
    }
    // A child made for this place (every imported one) has its tag already.
    const char* tag = typeOf(kind).name;
    if (child->GetTag() != tag) child->SetTag(tag);
    for (Slot& slot : m_children) {
        if (slot.kind == kind) {
            slot.object = std::move(child);
            ++m_revision;
            return;
        }
    }
    insertChild(kind, std::move(child));
}

Ostrel::XObject& Element::insertChild(Kind kind, std::unique_ptr<Ostrel::XObject> child) {
    const unsigned rank = rankOf(*m_type, kind);
    std::size_t at = m_children.size();
    while (at > 0 && rankOf(*m_type, m_children[at - 1].kind) > rank) --at;
    Ostrel::XObject& inserted = *child;
    if (m_children.capacity() == 0) m_children.reserve(3);
    m_children.insert(m_children.begin() + static_cast<std::ptrdiff_t>(at),
                      Slot{std::move(child), kind});
    ++m_revision;
    return inserted;
}

void Element::appendText(const std::string& text) {
    if (!m_children.empty() && m_children.back().kind == kTextKind) {
        static_cast<Ostrel::string&>(*m_children.back().object) += text.c_str();
    } else {
        std::unique_ptr<Ostrel::XObject> piece(new Ostrel::string(text));
        m_children.push_back(Slot{std::move(piece), kTextKind});
    }
    ++m_revision;
}

void Element::collect(Kind kind, std::vector<Ostrel::XObject*>& items) const {
    items.clear();
    for (const Slot& slot : m_children)
        if (slot.kind == kind) items.push_back(slot.object.get());
}

void Element::removeAll(Kind kind) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < m_children.size(); ++i) {
        if (m_children[i].kind == kind) continue;
        if (kept != i) m_children[kept] = std::move(m_children[i]);
        ++kept;
    }
    m_children.resize(kept);
    ++m_revision;
}

void Element::appendImported(Kind kind, std::unique_ptr<Ostrel::XObject> child) {
    // Room for three from the start takes no more memory than room for one (the
    // allocator's smallest block), and most lists are short.
    if (m_children.capacity() == 0) m_children.reserve(3);
    m_children.emplace_back(std::move(child), kind);
    ++m_revision;
}

void Element::adoptImported(std::vector<Slot>& from, std::size_t first) {
    m_children.insert(m_children.end(), std::make_move_iterator(from.begin() + first),
                      std::make_move_iterator(from.end()));
    ++m_revision;
}

const Ostrel::XObject* Element::findAttribute(const char* name) const {
    if (!m_attributes) return nullptr;
    const auto found = m_attributes->find(name);
    return found == m_attributes->end() ? nullptr : found->second;
}

void Element::setImportedAttribute(const AttributeType& attribute, const char* text,
                                   std::size_t length) {
    // What setAttribute leaves, without the copy it makes of its argument and without
    // temporaries: this runs for every attribute an import reads and every default a new
    // element gets. One string serves as the value's tag and the map's key.
    std::string name(attribute.name);
    std::unique_ptr<Ostrel::XObject> value = makeValue(attribute.type, name);
    if (attribute.type == ValueType::String)
        static_cast<std::string&>(static_cast<Ostrel::string&>(*value)).assign(text, length);
    else
        setValueText(attribute.type, *value, std::string(text, length));
    Ostrel::AttributeMap& map = writableAttributes();
    const auto at = map.lower_bound(name);
    if (at != map.end() && at->first == name) {
        delete at->second;
        at->second = value.release();
    } else {
        map.emplace_hint(at, std::move(name), value.get());
        value.release();
    }
}

void registerCreateFunctions(const Schema& schema) {
    for (unsigned k = 0; k < schema.count; ++k)
        Ostrel::XObjectFactory::RegisterCreateFunction(schema.types[k].name, schema.types[k].create);
}

} // namespace binding
} // namespace ostrel_xml
