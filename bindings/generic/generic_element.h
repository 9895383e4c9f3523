// An element of any well-formed document: its tag, attributes as text values, and its
// children in document order (elements, and "#PCDATA" text for mixed content).
#ifndef OSTREL_BINDINGS_GENERIC_ELEMENT_H
#define OSTREL_BINDINGS_GENERIC_ELEMENT_H

#include <ostrelbase/objectpool.h>
#include <ostrelbase/ostrel.h>

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace generic {

class GenericElement : public Ostrel::XObject {
public:
    // An element named tag, without attributes or children.
    explicit GenericElement(const std::string& tag);
    explicit GenericElement(const char* tag);
    explicit GenericElement(std::string_view tag);
    // Deep copy; throws XException (attributes) or std::bad_alloc when memory runs out.
    GenericElement(const GenericElement& other);
    GenericElement& operator=(const GenericElement&) = delete;
    ~GenericElement() override;

    // Stores value as attribute name (an Ostrel::string), replacing an earlier one.
    void setAttributeText(const std::string& name, const std::string& value);
    // The value of attribute name, or null when there is none.
    const Ostrel::string* attributeValue(const std::string& name) const;

    // Appends a child element, which this element then owns; null is ignored.
    void appendChild(std::unique_ptr<Ostrel::XObject> child);
    // Appends from[first] on, moving them; into an element without children, in a list of
    // exactly their number.
    void adoptChildren(std::vector<std::unique_ptr<Ostrel::XObject>>& from, size_t first);
    // Text that follows the child last (null: none): appended to last when that is text
    // and null returned, otherwise a new text child to add.
    static std::unique_ptr<Ostrel::XObject> textAfter(Ostrel::XObject* last, std::string_view text);
    size_t childCount() const { return m_children.size(); }
    // Child i (i < childCount()), owned by this element.
    Ostrel::XObject& child(size_t i) const { return *m_children[i]; }
    // Whether child i is character data (an Ostrel::string).
    bool isText(size_t i) const;
    // Whether both trees hold the same tags, attribute values and children, in order.
    bool sameTree(const GenericElement& other) const;

    // Writes the element at the indentation level: children one level deeper on their own
    // lines; text kept exactly, so an element with text and elements (mixed content) is
    // written on one line. Attribute values escape tab, line feed and carriage return too,
    // so they read back unchanged. Returns true.
    bool EmitXML(std::ostream& os, int indent) override;
    // A deep copy owned by the caller; null when memory runs out.
    XObject* clone() const override;
    // Whether every attribute value and every child is valid.
    bool IsValid() override;
    // Whether a child element of that name exists.
    bool HasElement(std::string name) const override;
    // Removes every child element of that name.
    void RemoveElement(std::string name) override;

private:
    void emitStartTag(std::ostream& os);
    void emitInline(std::ostream& os);
    void emitChildrenInline(std::ostream& os);
    std::string escape(const std::string& text, bool attribute);

    // An imported element's list comes from the pools with the element.
    using Children = std::vector<std::unique_ptr<Ostrel::XObject>,
                                 Ostrel::PoolAllocator<std::unique_ptr<Ostrel::XObject>>>;
    Children m_children;
};

} // namespace generic

#endif
