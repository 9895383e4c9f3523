// Reading an XKB keyboard configuration registry document into the classes of
// xkb_elements.h, and the create functions the reading goes through.
#ifndef OSTREL_BINDINGS_XKB_IMPORTER_H
#define OSTREL_BINDINGS_XKB_IMPORTER_H

#include "ostrelxml/scanning_importer.h"
#include "xkb/xkb_elements.h"
#include "xkb/xkb_schema.h"

#include <ostrelbase/xobjfactory.h>

#include <array>
#include <memory>
#include <vector>

namespace xkb {

// Registers one create function per element of the document type with
// Ostrel::XObjectFactory, under the element name (the text leaves make Ostrel::string
// objects tagged with it). Call it before importing; calling it again registers the same
// functions again, so a function registered under one of the names in between is replaced.
void RegisterCreateFunctions();

// Imports an XKB registry: ImportFromFile, then GetXObject or GetRegistry for the root,
// freed with DeleteImportedXObject. Elements are made by name through the factory.
// A document that is not well formed, an element the document type does not have or does
// not allow at its place, a missing required element, text where only elements may stand,
// an undeclared attribute or a value its declaration does not allow is an XException
// "Error: <file>:<line>:<column>: <what>"; the partial tree is then freed and no root is
// set. Attributes the document omits carry their defaults.
class XkbImporter : public ostrel_xml::ScanningImporter {
public:
    XkbImporter() = default;
    ~XkbImporter() = default;

    // The root of the latest successful import; null when there is none. Not owned.
    xkbConfigRegistry* GetRegistry() const;

protected:
    // The hooks of the scan: each element is checked against the document type when its
    // start tag is read, and handed to its parent when its end tag is read.
    std::unique_ptr<Ostrel::XObject> createElement(ostrel_xml::Scanner& scanner,
                                                   Ostrel::XObject* parent) override;
    void addText(ostrel_xml::Scanner& scanner, Ostrel::XObject& element) override;
    void endElement(ostrel_xml::Scanner& scanner, Ostrel::XObject& element) override;
    void addChild(ostrel_xml::Scanner& scanner, Ostrel::XObject& parent,
                  std::unique_ptr<Ostrel::XObject> child) override;

private:
    // What the document type needs to know of an open element.
    struct Open {
        schema::Kind kind;
        schema::Position position;  // how far its content model has got
        bool hasText;               // a leaf whose text has begun
    };
    std::vector<Open> m_open;                     // the open elements, root first
    schema::Kind m_closed = schema::Kind::None;   // the element whose end tag was just read
    // The create function of each kind as the factory held it when the import began.
    Ostrel::CreateFunction m_create[schema::kKinds] = {};
    // The kind of an element name, remembered by the name's interned pointer.
    schema::Kind kindOf(const char* name);
    struct KindOfName {
        const char* name = nullptr;
        schema::Kind kind = schema::Kind::None;
    };
    std::array<KindOfName, 64> m_kinds{};  // indexed by the top 6 bits of a hash
};

} // namespace xkb

#endif
