// Owning holders for the child elements of the XKB classes: one optional child, or a
// list of children in document order. Copies are deep, made through clone.
#ifndef OSTREL_BINDINGS_XKB_CHILD_H
#define OSTREL_BINDINGS_XKB_CHILD_H

#include <ostrelbase/ostrel.h>

#include <cstddef>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace xkb {

// Throws the XException for a child that could not be copied: "Error: Unable to allocate
// memory for element '<tag>'".
[[noreturn]] void throwNoMemoryFor(const std::string& tag);
// Throws the XException for a null child given to a list: "Error: Attempt to add a null
// child element".
[[noreturn]] void throwNullChild();

// A deep copy of element of its own dynamic class; throws XException when memory runs out.
template <class T>
std::unique_ptr<T> copyOf(const T& element) {
    Ostrel::XObject* copy = element.clone();
    if (!copy) throwNoMemoryFor(element.GetTag());
    // clone returns an object of the same dynamic class, so it is a T.
    return std::unique_ptr<T>(static_cast<T*>(copy));
}

// At most one owned child.
template <class T>
class Child {
public:
    Child() = default;
    // Deep copy; throws XException when memory runs out.
    Child(const Child& other) : m_item(other.m_item ? copyOf(*other.m_item) : nullptr) {}
    // Deep copy; on failure this holder is unchanged.
    Child& operator=(const Child& other) {
        if (this != &other) {
            Child copy(other);
            m_item.swap(copy.m_item);
        }
        return *this;
    }

    // The child, or null when absent.
    T* get() { return m_item.get(); }
    const T* get() const { return m_item.get(); }
    explicit operator bool() const { return m_item != nullptr; }
    // Takes item as the child (null removes it); the old child is deleted.
    void reset(std::unique_ptr<T> item = nullptr) { m_item = std::move(item); }

    // Writes the child at the given level when present.
    void emit(std::ostream& os, int indent) {
        if (m_item) m_item->EmitXML(os, indent);
    }
    // Present (or not required), with the expected tag, and valid itself.
    bool valid(const char* tag, bool required) {
        if (!m_item) return !required;
        return m_item->GetTag() == tag && m_item->IsValid();
    }

private:
    std::unique_ptr<T> m_item;
};

// Owned children in document order.
template <class T>
class ChildList {
    using Items = std::vector<std::unique_ptr<T>>;

    // Iterates over the children themselves rather than their owners.
    template <class Item, class Base>
    class Iter {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = Item*;
        using reference = Item&;

        explicit Iter(Base at) : m_at(at) {}
        Item& operator*() const { return **m_at; }
        Item* operator->() const { return m_at->get(); }
        Iter& operator++() { ++m_at; return *this; }
        Iter operator++(int) { Iter old = *this; ++m_at; return old; }
        Iter& operator--() { --m_at; return *this; }
        Iter& operator+=(difference_type n) { m_at += n; return *this; }
        Iter operator+(difference_type n) const { return Iter(m_at + n); }
        difference_type operator-(const Iter& other) const { return m_at - other.m_at; }
        Item& operator[](difference_type n) const { return *m_at[n]; }
        bool operator==(const Iter& other) const { return m_at == other.m_at; }
        bool operator!=(const Iter& other) const { return m_at != other.m_at; }
        bool operator<(const Iter& other) const { return m_at < other.m_at; }

    private:
        Base m_at;
    };

public:
    using iterator = Iter<T, typename Items::iterator>;
    using const_iterator = Iter<const T, typename Items::const_iterator>;

    ChildList() = default;
    // Deep copy; throws XException when memory runs out.
    ChildList(const ChildList& other) {
        m_items.reserve(other.m_items.size());
        for (const auto& item : other.m_items) m_items.push_back(copyOf(*item));
    }
    // Deep copy; on failure this list is unchanged.
    ChildList& operator=(const ChildList& other) {
        if (this != &other) {
            ChildList copy(other);
            m_items.swap(copy.m_items);
        }
        return *this;
    }

    std::size_t size() const { return m_items.size(); }
    bool empty() const { return m_items.empty(); }
    // The child at index, which must be below size().
    T& operator[](std::size_t index) { return *m_items[index]; }
    const T& operator[](std::size_t index) const { return *m_items[index]; }
    // The child at index; throws std::out_of_range when index >= size().
    T& at(std::size_t index) { return *m_items.at(index); }
    const T& at(std::size_t index) const { return *m_items.at(index); }

    iterator begin() { return iterator(m_items.begin()); }
    iterator end() { return iterator(m_items.end()); }
    const_iterator begin() const { return const_iterator(m_items.begin()); }
    const_iterator end() const { return const_iterator(m_items.end()); }

    // Appends item and returns it; throws XException for a null item (nothing changes).
    T& Add(std::unique_ptr<T> item) {
        if (!item) throwNullChild();
        // Room for three from the start takes no more memory than room for one (the
        // allocator's smallest block), and most lists are short.
        if (m_items.capacity() == 0) m_items.reserve(3);
        m_items.push_back(std::move(item));
        return *m_items.back();
    }
    // Appends a deep copy of item; throws XException when memory runs out.
    T& Add(const T& item) { return Add(copyOf(item)); }
    // Deletes the child at index; false (and no change) when index >= size().
    bool Remove(std::size_t index) {
        if (index >= m_items.size()) return false;
        m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(index));
        return true;
    }
    // Deletes every child.
    void Clear() { m_items.clear(); }

    // Writes the children in order at the given level.
    void emit(std::ostream& os, int indent) {
        for (auto& item : m_items) item->EmitXML(os, indent);
    }
    // Non-empty (or allowed empty), each with the expected tag and valid itself.
    bool valid(const char* tag, bool nonEmpty) {
        if (m_items.empty()) return !nonEmpty;
        for (auto& item : m_items)
            if (item->GetTag() != tag || !item->IsValid()) return false;
        return true;
    }

private:
    Items m_items;
};

} // namespace xkb

#endif
