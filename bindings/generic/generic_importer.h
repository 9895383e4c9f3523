// The importer of the generic binding: any well-formed document becomes a tree of
// GenericElement objects.
#ifndef OSTREL_BINDINGS_GENERIC_IMPORTER_H
#define OSTREL_BINDINGS_GENERIC_IMPORTER_H

#include "generic/generic_element.h"
#include "scanner/scanning_importer.h"

namespace generic {

// ImportFromFile builds GenericElement objects; white space between child elements of
// element-only content is dropped, all other text is kept. Errors are XExceptions naming
// file, line and column; the partial tree is then freed.
class GenericImporter : public ostrel_xml::ScanningImporter {
public:
    GenericImporter() = default;
    ~GenericImporter() = default;

protected:
    std::unique_ptr<Ostrel::XObject> createElement(ostrel_xml::Scanner& scanner,
                                                   Ostrel::XObject* parent) override;
    void addText(ostrel_xml::Scanner& scanner, Ostrel::XObject& element) override;
    void endElement(ostrel_xml::Scanner& scanner, Ostrel::XObject& element) override;
    void addChild(ostrel_xml::Scanner& scanner, Ostrel::XObject& parent,
                  std::unique_ptr<Ostrel::XObject> child) override;
};

} // namespace generic

#endif
