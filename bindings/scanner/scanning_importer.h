// The importer base shared by the bindings: counts what it built and reports progress.
#ifndef OSTREL_BINDINGS_SCANNING_IMPORTER_H
#define OSTREL_BINDINGS_SCANNING_IMPORTER_H

#include "scanner/xmlscanner.h"

#include <ostrelbase/xmlimporterbase.h>

#include <functional>
#include <string>

namespace ostrel_xml {

// Called now and then during an import with the bytes read so far.
using ProgressCallback = std::function<void(long long bytesRead)>;

// An importer that reads its file with a Scanner. Derived importers implement
// ParseXMLFile with scan(); on any error the partial tree is freed and the
// XException passes to the caller, so the caller never sees a partial tree.
class ScanningImporter : public Ostrel::XMLImporterBase {
public:
    // Elements and attributes of the latest successful import.
    long long elementCount() const { return m_elements; }
    long long attributeCount() const { return m_attributes; }
    // The DOCTYPE's system identifier of the latest import; "" when it had none.
    const std::string& systemId() const { return m_systemId; }
    // Progress reports during later imports; an empty callback turns them off.
    void setProgressCallback(ProgressCallback callback) { m_progress = std::move(callback); }

protected:
    ScanningImporter() = default;
    ~ScanningImporter() = default;

    long long m_elements = 0;
    long long m_attributes = 0;
    std::string m_systemId;
    ProgressCallback m_progress;
};

} // namespace ostrel_xml

#endif
