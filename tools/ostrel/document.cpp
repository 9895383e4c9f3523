#include "document.h"

#include "platform.h"

#include "generic/generic_importer.h"
#ifdef OSTREL_WITH_XKB
#include "xkb/xkb_importer.h"
#endif

#include <ostrelbase/xmlimporterbase.h>

namespace ostrel_tool {

void RootDeleter::operator()(Ostrel::XObject* root) const {
    Ostrel::XMLImporterBase::DeleteImportedXObject(root);
}

namespace {

template <class Importer>
Document run(Importer& importer, const char* binding, const std::string& file,
             bool preprocess, const ostrel_xml::ProgressCallback& progress) {
    importer.setProgressCallback(progress);
    importer.ImportFromFile(file, preprocess);
    Document doc;
    doc.root.reset(importer.GetXObject());
    doc.binding = binding;
    doc.systemId = importer.systemId();
    doc.elements = importer.elementCount();
    doc.attributes = importer.attributeCount();
    doc.bytes = fileSize(file);
    return doc;
}

} // namespace

Document importDocument(const std::string& file, bool preprocess,
                        const ostrel_xml::ProgressCallback& progress) {
#ifdef OSTREL_WITH_XKB
    if (ostrel_xml::peekRootName(file) == "xkbConfigRegistry") {
        static const bool registered = (xkb::RegisterCreateFunctions(), true);
        (void)registered;
        xkb::XkbImporter importer;
        return run(importer, "XKB", file, preprocess, progress);
    }
#endif
    generic::GenericImporter importer;
    return run(importer, "generic", file, preprocess, progress);
}

} // namespace ostrel_tool
