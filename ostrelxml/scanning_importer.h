// The importer base shared by the bindings: counts what it built and reports progress.
#ifndef OSTRELXML_SCANNING_IMPORTER_H
#define OSTRELXML_SCANNING_IMPORTER_H

#include <ostrelxml/xmlscanner.h>

#include <ostrelbase/ostrel.h>
#include <ostrelbase/xmlimporterbase.h>

#include <functional>
#include <memory>
#include <string>

namespace ostrel_xml {

// Called now and then during an import with the bytes read so far.
using ProgressCallback = std::function<void(long long bytesRead)>;

// An importer that reads its file with a Scanner. Derived importers either implement the
// element hooks below, and ParseXMLFile runs scan(), which builds the tree iteratively
// (an explicit stack, so deep documents cannot exhaust the call stack), or supply their own
// ParseXMLFile. With scan(), on any error the partial tree is freed and the XException
// passes to the caller, so the caller never sees a partial tree; GetXObject() is then null.
class OSTRELXML_API ScanningImporter : public Ostrel::XMLImporterBase {
public:
    // Elements and attributes of the latest successful import.
    long long elementCount() const { return m_elements; }
    long long attributeCount() const { return m_attributes; }
    // The DOCTYPE's system identifier of the latest import; "" when it had none.
    const std::string& systemId() const { return m_systemId; }
    // Progress reports during later imports, about once per MiB read; an empty callback
    // turns them off.
    void setProgressCallback(ProgressCallback callback) { m_progress = std::move(callback); }

protected:
    ScanningImporter() = default;
    ~ScanningImporter() = default;

    // Reads the document from the open stream and stores its root in m_importedXObject.
    void ParseXMLFile() override { scan(); }
    // The import itself: scanner events drive the hooks; throws XException on any error,
    // after freeing everything built.
    void scan();
    // scan() for a document type whose internal general entities are known beforehand
    // (Scanner::setTypeEntities; null for none).
    void scan(const Ostrel::_TextEntity* typeEntities);
    // scan(typeEntities) for an importer that keeps finished objects of the document between
    // hooks in pending: on an error they are freed with the rest of the partial tree.
    template <class Pending>
    void scanFreeing(Pending& pending, const Ostrel::_TextEntity* typeEntities = nullptr) {
        try {
            scan(typeEntities);
        } catch (...) {
            pending.clear();
            throw;
        }
    }

    // A new element for the start tag the scanner stands on (scanner.name(),
    // scanner.attributes()); parent is null for the root. Throw (scanner.fail) to refuse it.
    // The default refuses every element.
    virtual std::unique_ptr<Ostrel::XObject> createElement(Scanner& scanner,
                                                           Ostrel::XObject* parent);
    // Character data (scanner.text(), scanner.isWhitespace()) directly inside element.
    // The default ignores white space and refuses other text.
    virtual void addText(Scanner& scanner, Ostrel::XObject& element);
    // The end tag of element has been read: a place for checks. The default does nothing.
    virtual void endElement(Scanner& scanner, Ostrel::XObject& element);
    // Hands the finished child to its parent, which takes ownership. The default refuses.
    virtual void addChild(Scanner& scanner, Ostrel::XObject& parent,
                          std::unique_ptr<Ostrel::XObject> child);

    long long m_elements = 0;
    long long m_attributes = 0;
    std::string m_systemId;
    ProgressCallback m_progress;
};

} // namespace ostrel_xml

#endif
