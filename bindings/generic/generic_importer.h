// The importer of the generic binding: any well-formed document becomes a tree of
// GenericElement objects.
#ifndef OSTREL_BINDINGS_GENERIC_IMPORTER_H
#define OSTREL_BINDINGS_GENERIC_IMPORTER_H

#include "generic/generic_element.h"
#include "ostrelxml/scanning_importer.h"

#include <string>
#include <vector>

namespace generic {

// ImportFromFile builds GenericElement objects; white space between child elements of
// element-only content is dropped, all other text is kept. Errors are XExceptions naming
// file, line and column; the partial tree is then freed.
class GenericImporter : public ostrel_xml::ScanningImporter {
public:
    GenericImporter() = default;
    ~GenericImporter() = default;

protected:
    // scan(); on an error the children of the elements left open are freed too.
    void ParseXMLFile() override;
    std::unique_ptr<Ostrel::XObject> createElement(ostrel_xml::Scanner& scanner,
                                                   Ostrel::XObject* parent) override;
    void addText(ostrel_xml::Scanner& scanner, Ostrel::XObject& element) override;
    void endElement(ostrel_xml::Scanner& scanner, Ostrel::XObject& element) override;
    void addChild(ostrel_xml::Scanner& scanner, Ostrel::XObject& parent,
                  std::unique_ptr<Ostrel::XObject> child) override;

private:
    // White space is kept aside until its element shows whether it is formatting (the
    // element holds elements and no other text: dropped) or content (added where it
    // stood), so formatting never becomes objects.
    struct Blank {
        size_t before;  // the number of children that came before it
        size_t offset;  // its characters in m_blankChars
        size_t length;
    };
    struct Open {
        bool elements = false;  // a child element has been added
        bool content = false;   // text other than white space: all text is kept
        size_t blanks = 0;      // where its white space begins in m_blanks
        size_t firstChild = 0;  // where its children begin in m_children
    };
    // Text (white space only or not) directly inside the innermost element.
    void takeText(std::string_view text, bool whitespace);
    // Appends text to the innermost element's children, to its last text when that ends them.
    void appendText(std::string_view text);
    // Whether white space is kept aside for the innermost element.
    bool keptBlanks() const { return m_blanks.size() > m_open.back().blanks; }
    // Adds the white space kept aside for the innermost element (some) where it stood.
    void restoreBlanks();
    // Forgets the white space kept aside for the innermost element (some).
    void dropBlanks();

    std::vector<Open> m_open;
    // The children of the open elements, innermost last, until their element ends.
    std::vector<std::unique_ptr<Ostrel::XObject>> m_children;
    std::vector<Blank> m_blanks;
    std::vector<char> m_blankChars;
};

} // namespace generic

#endif
