// The base of the element classes ostrel-gen writes: one ordered list of children per
// element (text between them in mixed content), typed views over it, and everything that
// is the same for every element type — writing, copying, validity, attribute defaults.
#ifndef OSTRELXML_BINDING_ELEMENT_H
#define OSTRELXML_BINDING_ELEMENT_H

#include <ostrelxml/binding_schema.h>
#include <ostrelxml/ostrelxmlexport.h>

#include <ostrelbase/objectpool.h>
#include <ostrelbase/ostrel.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <new>
#include <ostream>
#include <string>
#include <typeinfo>
#include <utility>
#include <vector>

namespace ostrel_xml {
namespace binding {

class BindingImporter;
template <class T>
class ChildView;

// How each value class is read and set through typed accessors: Arg is what a setter
// takes, Value what a getter returns.
template <class V>
struct ValueTraits {
    using Arg = const V&;
    using Value = V;
    static Value get(const V& value) { return value; }
    // Assigns the value and keeps the tag of target.
    static void set(V& target, Arg value) {
        const std::string tag = target.GetTag();
        target = value;
        target.SetTag(tag);
    }
};
template <>
struct ValueTraits<Ostrel::string> {
    using Arg = const std::string&;
    using Value = std::string;
    static Value get(const Ostrel::string& value) { return value; }
    static void set(Ostrel::string& target, Arg value) { target.assign(value); }
};
// The numbers and the truth value: their plain C++ type.
template <class V, class Plain>
struct PlainValueTraits {
    using Arg = Plain;
    using Value = Plain;
    static Value get(const V& value) { return static_cast<Plain>(value); }
    static void set(V& target, Arg value) { target = value; }
};
template <> struct ValueTraits<Ostrel::boolean> : PlainValueTraits<Ostrel::boolean, bool> {};
template <> struct ValueTraits<Ostrel::integer> : PlainValueTraits<Ostrel::integer, int> {};
template <>
struct ValueTraits<Ostrel::non_negative_integer>
    : PlainValueTraits<Ostrel::non_negative_integer, unsigned int> {};
template <>
struct ValueTraits<Ostrel::positive_integer>
    : PlainValueTraits<Ostrel::positive_integer, unsigned int> {};
template <>
struct ValueTraits<Ostrel::non_positive_integer>
    : PlainValueTraits<Ostrel::non_positive_integer, int> {};
template <>
struct ValueTraits<Ostrel::negative_integer> : PlainValueTraits<Ostrel::negative_integer, int> {};
template <> struct ValueTraits<Ostrel::real> : PlainValueTraits<Ostrel::real, double> {};
template <> struct ValueTraits<Ostrel::decimal> : PlainValueTraits<Ostrel::decimal, double> {};

// Throws the XException for a child that could not be copied: "Error: Unable to allocate
// memory for element '<tag>'".
[[noreturn]] OSTRELXML_API void throwNoMemoryFor(const std::string& tag);
// Throws the XException for a null child: "Error: Attempt to add a null child element".
[[noreturn]] OSTRELXML_API void throwNullChild();

// An element of a generated binding. Children are kept in document order; copy
// construction and clone copy tag, attributes and children deeply; assignment copies tag
// and children and leaves the attributes alone; a new element carries the declared
// defaults and #FIXED values of its attributes.
class OSTRELXML_API Element : public Ostrel::XObject {
public:
    ~Element() override;

    // Writes the element at level indent: element content one child per line a level
    // deeper, text and mixed content on the element's own line exactly as held. True.
    bool EmitXML(std::ostream& os, int indent) override;
    // The tag, the attributes (declared, of their class, allowed values, every #REQUIRED
    // one present), the children in order and number as the content model says, and every
    // child valid itself.
    bool IsValid() override;
    // Whether a direct child element has that tag.
    bool HasElement(std::string name) const override;
    // Deletes every direct child element with that tag; other names change nothing.
    void RemoveElement(std::string name) override;

    // Every child in document order, text children of mixed content included.
    std::size_t GetChildCount() const { return m_children.size(); }
    // Child index, which must be below GetChildCount().
    Ostrel::XObject& GetChild(std::size_t index) { return *m_children[index].object; }
    const Ostrel::XObject& GetChild(std::size_t index) const { return *m_children[index].object; }
    // Whether child index is a piece of text.
    bool IsTextChild(std::size_t index) const { return m_children[index].kind == kTextKind; }
    // Deletes child index; false (and no change) when index >= GetChildCount().
    bool RemoveChild(std::size_t index);
    // The declaration this element was made for.
    const ElementType& GetElementType() const { return *m_type; }

protected:
    // Tag := the type's name; the declared defaults of its attributes; no children.
    explicit Element(const ElementType& type);
    // Deep copy; throws XException when memory runs out.
    Element(const Element& other);
    // Tag and children (deep) of other; the attributes stay. On failure nothing changes.
    Element& operator=(const Element& other);

    // The first child of kind; null when there is none.
    template <class T>
    T* child(Kind kind) const {
        return static_cast<T*>(findChild(kind));
    }
    // Replaces the first child of kind by child, in its place (a new one goes where the
    // content model puts it); null removes every child of kind.
    void setChild(Kind kind, std::unique_ptr<Ostrel::XObject> child);
    // Sets the value of the leaf of kind, making it when absent.
    template <class V>
    void setLeaf(Kind kind, typename ValueTraits<V>::Arg value) {
        if (V* leaf = child<V>(kind)) {
            ValueTraits<V>::set(*leaf, value);
            return;
        }
        std::unique_ptr<V> leaf(new V);
        leaf->SetTag(typeOf(kind).name);
        ValueTraits<V>::set(*leaf, value);
        insertChild(kind, std::move(leaf));
    }
    // Appends a new leaf of kind holding value and returns it.
    template <class V>
    V& addLeaf(Kind kind, typename ValueTraits<V>::Arg value) {
        std::unique_ptr<V> leaf(new V);
        leaf->SetTag(typeOf(kind).name);
        ValueTraits<V>::set(*leaf, value);
        return static_cast<V&>(insertChild(kind, std::move(leaf)));
    }
    // Appends text after the last child (mixed and ANY content).
    void appendText(const std::string& text);

    // The value of attribute index of this type, or its declared default when absent
    // (the value class's own default without one).
    template <class V>
    typename ValueTraits<V>::Value attributeValue(unsigned index) const {
        const AttributeType& attribute = m_type->attributes[index];
        if (const auto* value = dynamic_cast<const V*>(findAttribute(attribute.name)))
            return ValueTraits<V>::get(*value);
        V fallback;
        if (attribute.defaultValue) fallback.SetValueFromString(attribute.defaultValue);
        return ValueTraits<V>::get(fallback);
    }
    // Stores attribute index of this type with the given value; throws XException when
    // memory runs out. IsValid tells whether the value is one the declaration allows.
    template <class V>
    void setAttributeValue(unsigned index, typename ValueTraits<V>::Arg value) {
        V stored;
        ValueTraits<V>::set(stored, value);
        setAttribute(m_type->attributes[index].name, &stored);
    }
    // The attribute value of that name, or null.
    const Ostrel::XObject* findAttribute(const char* name) const;

    // The text value of a Text element (see TextElement); null for other content.
    virtual Ostrel::XObject* textValue() { return nullptr; }

private:
    friend class BindingImporter;
    template <class T>
    friend class ChildView;
    template <class T>
    friend Ostrel::XObject* newElement();

    // Copies of element share its attribute defaults (see XObject::shareAttributes).
    static void shareDefaults(Element& element) { element.shareAttributes(); }

    struct Slot {
        Slot() = default;
        Slot(std::unique_ptr<Ostrel::XObject> object, Kind kind)
            : object(std::move(object)), kind(kind) {}
        std::unique_ptr<Ostrel::XObject> object;
        Kind kind = 0;
    };
    // An imported element's list comes from the pools with the element.
    using Slots = std::vector<Slot, Ostrel::PoolAllocator<Slot>>;

    const ElementType& typeOf(Kind kind) const { return m_type->schema->types[kind]; }
    // Deep copies; throws XException when memory runs out.
    static Slots copyOf(const Slots& children);
    Ostrel::XObject* findChild(Kind kind) const;
    // Inserts child after the last child whose rank is not above its kind's; returns it.
    Ostrel::XObject& insertChild(Kind kind, std::unique_ptr<Ostrel::XObject> child);
    // The children of kind, in order, into items.
    void collect(Kind kind, std::vector<Ostrel::XObject*>& items) const;
    // Deletes every child of kind.
    void removeAll(Kind kind);
    // Appends a child the importer has placed already.
    void appendImported(Kind kind, std::unique_ptr<Ostrel::XObject> child);
    // Appends the children the importer has placed already, from[first] on, moving them.
    void adoptImported(std::vector<Slot>& from, std::size_t first);
    // Stores an attribute value as read, length bytes of text (the importer checked it
    // against its definition).
    void setImportedAttribute(const AttributeType& attribute, const char* text,
                              std::size_t length);
    // Writes start tag, content and end tag without indentation or line ends.
    void emitInline(std::ostream& os);
    void emitContentInline(std::ostream& os);
    // Writes the indentation and the start tag; without content it closes the element on
    // the same line and returns false.
    bool openTag(std::ostream& os, int indent, bool hasContent);
    void closeTag(std::ostream& os, int indent);
    bool hasValidAttributeSet();
    bool hasValidContent();

    const ElementType* m_type;
    Slots m_children;
    // Changes with every change of the children, so that views know when to look again.
    std::uint64_t m_revision = 0;
};

// An element that holds a simple value as its text, with attributes besides.
template <class V>
class TextElement : public Element {
public:
    // The value.
    V& GetValue() { return m_value; }
    const V& GetValue() const { return m_value; }
    // Value := value.
    void SetValue(typename ValueTraits<V>::Arg value) { ValueTraits<V>::set(m_value, value); }

protected:
    explicit TextElement(const ElementType& type) : Element(type) { m_value.SetTag("#PCDATA"); }
    TextElement(const TextElement& other) = default;
    // Tag, children and value of other; the attributes stay.
    TextElement& operator=(const TextElement& other) {
        if (this != &other) {
            Element::operator=(other);
            ValueTraits<V>::set(m_value, ValueTraits<V>::get(other.m_value));
        }
        return *this;
    }
    Ostrel::XObject* textValue() override { return &m_value; }

private:
    V m_value;
};

// The children of one element type inside an element, in document order: a view over the
// element's own list, so that changes through either show in both. Iterators and
// references stay valid until the element's children change.
template <class T>
class ChildView {
    using Items = std::vector<Ostrel::XObject*>;

    // Iterates over the children themselves.
    template <class Item, class Base>
    class Iter {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = Item*;
        using reference = Item&;

        explicit Iter(Base at) : m_at(at) {}
        Item& operator*() const { return static_cast<Item&>(**m_at); }
        Item* operator->() const { return static_cast<Item*>(*m_at); }
        Iter& operator++() { ++m_at; return *this; }
        Iter operator++(int) { Iter old = *this; ++m_at; return old; }
        Iter& operator--() { --m_at; return *this; }
        Iter& operator+=(difference_type n) { m_at += n; return *this; }
        Iter operator+(difference_type n) const { return Iter(m_at + n); }
        difference_type operator-(const Iter& other) const { return m_at - other.m_at; }
        Item& operator[](difference_type n) const { return static_cast<Item&>(*m_at[n]); }
        bool operator==(const Iter& other) const { return m_at == other.m_at; }
        bool operator!=(const Iter& other) const { return m_at != other.m_at; }
        bool operator<(const Iter& other) const { return m_at < other.m_at; }

    private:
        Base m_at;
    };

public:
    using iterator = Iter<T, typename Items::const_iterator>;
    using const_iterator = Iter<const T, typename Items::const_iterator>;

    // The children of kind inside owner.
    ChildView(Element& owner, Kind kind) : m_owner(owner), m_kind(kind) {}
    ChildView(const ChildView&) = delete;
    ChildView& operator=(const ChildView&) = delete;

    std::size_t size() const { return items().size(); }
    bool empty() const { return items().empty(); }
    // The child at index, which must be below size().
    T& operator[](std::size_t index) { return static_cast<T&>(*items()[index]); }
    const T& operator[](std::size_t index) const { return static_cast<const T&>(*items()[index]); }
    // The child at index; throws std::out_of_range when index >= size().
    T& at(std::size_t index) { return static_cast<T&>(*items().at(index)); }
    const T& at(std::size_t index) const { return static_cast<const T&>(*items().at(index)); }

    iterator begin() { return iterator(items().begin()); }
    iterator end() { return iterator(items().end()); }
    const_iterator begin() const { return const_iterator(items().begin()); }
    const_iterator end() const { return const_iterator(items().end()); }

    // Inserts item after the last child of its type (or where the content model puts the
    // first) and returns it; throws XException for a null item (nothing changes).
    T& Add(std::unique_ptr<T> item) {
        if (!item) throwNullChild();
        const char* tag = m_owner.typeOf(m_kind).name;
        if (item->GetTag() != tag) item->SetTag(tag);
        return static_cast<T&>(m_owner.insertChild(m_kind, std::move(item)));
    }
    // Adds a deep copy of item; throws XException when memory runs out.
    T& Add(const T& item) {
        Ostrel::XObject* copy = item.clone();
        if (!copy) throwNoMemoryFor(item.GetTag());
        // clone makes an object of the same dynamic class, so it is a T.
        return Add(std::unique_ptr<T>(static_cast<T*>(copy)));
    }
    // Deletes the child at index; false (and no change) when index >= size().
    bool Remove(std::size_t index) {
        const Items& all = items();
        if (index >= all.size()) return false;
        for (std::size_t i = 0; i < m_owner.m_children.size(); ++i) {
            if (m_owner.m_children[i].object.get() == all[index]) return m_owner.RemoveChild(i);
        }
        return false;
    }
    // Deletes every child of this view.
    void Clear() { m_owner.removeAll(m_kind); }

private:
    const Items& items() const {
        if (m_seen != m_owner.m_revision) {
            m_owner.collect(m_kind, m_items);
            m_seen = m_owner.m_revision;
        }
        return m_items;
    }

    Element& m_owner;
    Kind m_kind;
    mutable std::uint64_t m_seen = ~std::uint64_t{0};
    mutable Items m_items;
};

// A new element of class T; null when memory runs out. For the create functions.
template <class T>
Ostrel::XObject* newElement() {
    try {
        // One of these is made per element an import reads: a copy of an element made once
        // costs less than one made afresh, whose default attributes are parsed and tagged,
        // and the copies share the prototype's defaults until one of them is changed.
        static const T prototype = [] {
            T made;
            Element::shareDefaults(made);
            return made;
        }();
        return new (std::nothrow) T(prototype);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// A new leaf of value class V tagged with the name of element type K of S; null when
// memory runs out.
template <class V, const Schema& S, Kind K>
Ostrel::XObject* newLeaf() {
    try {
        // One of these is made per leaf an import reads: a copy of a tagged default value
        // costs less than a default value tagged afresh.
        static const V prototype = [] {
            V value;
            value.SetTag(S.types[K].name);
            return value;
        }();
        return new V(prototype);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// Whether object is of class T (or derived from it).
template <class T>
bool isA(const Ostrel::XObject& object) {
    return typeid(object) == typeid(T) || dynamic_cast<const T*>(&object) != nullptr;
}

// Registers the create function of every element type of schema under its name.
OSTRELXML_API void registerCreateFunctions(const Schema& schema);

} // namespace binding
} // namespace ostrel_xml

#endif
