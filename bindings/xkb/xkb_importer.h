// Reading an XKB keyboard configuration registry document into the classes of
// xkb_elements.h: the generated importer, with the root in its own class.
#ifndef OSTREL_BINDINGS_XKB_IMPORTER_H
#define OSTREL_BINDINGS_XKB_IMPORTER_H

#include "xkb/xkb_elements.h"

namespace xkb {

// Imports an XKB registry (see xkb::Importer): ImportFromFile, then GetRegistry for the
// root, freed with DeleteImportedXObject.
class XkbImporter : public Importer {
public:
    // The root of the latest successful import; null when there is none. Not owned.
    xkbConfigRegistry* GetRegistry() const { return static_cast<xkbConfigRegistry*>(GetXObject()); }
};

} // namespace xkb

#endif
