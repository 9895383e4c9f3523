// The importer of a generated binding: reads a document with the scanner into the element
// classes, checking each element, attribute and piece of text against the schema.
#ifndef OSTRELXML_BINDING_IMPORTER_H
#define OSTRELXML_BINDING_IMPORTER_H

#include <ostrelxml/binding_element.h>
#include <ostrelxml/binding_schema.h>
#include <ostrelxml/ostrelxmlexport.h>
#include <ostrelxml/scanning_importer.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace ostrel_xml {
namespace binding {

// Elements are made by name through Ostrel::XObjectFactory (the schema's own create
// functions are registered for names that have none when an import begins). An element
// or attribute the schema does not declare, a root other than the schema's, a child out
// of its parent's content model, a missing required child, text where the model allows
// none, or a value its declaration does not allow is an XException
// "Error: <file>:<line>:<column>: <what>"; the partial tree is then freed and no root is
// set. Attributes the document leaves out carry their defaults (the elements' own).
class OSTRELXML_API BindingImporter : public ScanningImporter {
protected:
    explicit BindingImporter(const Schema& schema) : m_schema(&schema) {}
    BindingImporter(const BindingImporter& other) = default;
    ~BindingImporter() = default;

    // scan() with the schema's entities; on an error the children of the elements left
    // open are freed too.
    void ParseXMLFile() override;
    std::unique_ptr<Ostrel::XObject> createElement(Scanner& scanner,
                                                   Ostrel::XObject* parent) override;
    void addText(Scanner& scanner, Ostrel::XObject& element) override;
    void endElement(Scanner& scanner, Ostrel::XObject& element) override;
    void addChild(Scanner& scanner, Ostrel::XObject& parent,
                  std::unique_ptr<Ostrel::XObject> child) override;

private:
    // Built in place by emplace_back: a copied temporary stalls on its reload in one wide load.
    struct Open {
        Open(Kind kind, std::size_t firstChild) : kind(kind), state(0), firstChild(firstChild) {}
        Kind kind;
        int state;               // how far its content model has got
        std::size_t firstChild;  // its children in m_children from here on
    };
    struct KindOfName {
        const char* name = nullptr;
        Kind kind = 0;
    };

    const ElementType& typeOf(Kind kind) const { return m_schema->types[kind]; }
    // The kind of an element name, remembered by the name's interned pointer.
    Kind kindOf(const char* name);
    void beginDocument(Scanner& scanner, Kind kind);
    void place(Scanner& scanner, Open& parent, Kind kind);
    std::unique_ptr<Ostrel::XObject> create(Scanner& scanner, Kind kind);
    void readAttributes(Scanner& scanner, const ElementType& type, Ostrel::XObject& element);
    // Checks value (attribute's, its blanks collapsed where its type asks) against its
    // declaration and stores it in element.
    static void readAttribute(Scanner& scanner, const ElementType& type,
                              const AttributeType& declared, const Attribute& attribute,
                              const std::string& value, Ostrel::XObject& element);
    void setText(Scanner& scanner, const ElementType& type, Ostrel::XObject& element);

    const Schema* m_schema;
    std::vector<Open> m_open;  // the open elements, root first
    Kind m_closed = 0;         // the element whose end tag was just read
    std::string m_text;        // the text of the open Text element
    int m_textLine = 0, m_textColumn = 0;
    // The create function of each kind as the factory held it when the import began.
    std::vector<Ostrel::CreateFunction> m_create;
    std::array<KindOfName, 64> m_kinds{};  // indexed by the top 6 bits of a hash
    // The finished children of the open elements of element content, handed over at their
    // parent's end tag: each list is then allocated once, at its size.
    std::vector<Element::Slot> m_children;
};

} // namespace binding
} // namespace ostrel_xml

#endif
