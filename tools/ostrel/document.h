// Importing a document with the binding its root element calls for.
#ifndef OSTREL_TOOL_DOCUMENT_H
#define OSTREL_TOOL_DOCUMENT_H

#include "ostrelxml/scanning_importer.h"

#include <ostrelbase/ostrel.h>

#include <memory>
#include <string>

namespace ostrel_tool {

// Frees an imported root the way importers want it freed.
struct RootDeleter {
    void operator()(Ostrel::XObject* root) const;
};

struct Document {
    std::unique_ptr<Ostrel::XObject, RootDeleter> root;
    std::string binding;  // "XKB" or "generic"
    std::string systemId;
    long long elements = 0;
    long long attributes = 0;
    long long bytes = 0;  // size of the file
};

// Imports file: with the XKB binding when its root is xkbConfigRegistry (and the tool has
// it), else with the generic one. progress may be empty. Throws Ostrel::XException.
Document importDocument(const std::string& file, bool preprocess,
                        const ostrel_xml::ProgressCallback& progress);

} // namespace ostrel_tool

#endif
