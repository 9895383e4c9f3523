// XMLImporterBase: the frame of a generated importer. It opens the input file, runs the
// derived parser while the file is open, closes it, and hands over the imported root.
#ifndef OSTREL_XMLIMPORTERBASE_H
#define OSTREL_XMLIMPORTERBASE_H

#include <ostrelbase/ostrelexcept.h>
#include <ostrelbase/ostrelexport.h>

#include <cstdio>
#include <string>

namespace Ostrel {

class XObject;

// One entity definition: the name as references write it (a parameter entity's with its
// '%') and the replacement text. An array of them ends at the first null name or text.
struct _TextEntity {
    const char* name;
    const char* text;
};

// Abstract base of importers. A derived importer supplies ParseXMLFile; callers use
// ImportFromFile, then GetXObject, and free the root with DeleteImportedXObject.
// Derived importers are never deleted through a pointer to this class.
class OSTREL_API XMLImporterBase {
public:
    // Copies the file name, root and mode. The copy has no stream: only the importer that
    // opened a stream closes it.
    XMLImporterBase(const XMLImporterBase& other);
    // Copies the file name, root and mode; this importer keeps its own stream, if any.
    XMLImporterBase& operator=(const XMLImporterBase& other);

    // Stores name and mode, opens the file for reading, runs ParseXMLFile and closes the
    // file. Throws XException for an empty name (nothing changes) or a file that cannot
    // be opened (name and mode are stored). The parser's exceptions pass unchanged; its
    // stream then stays open until the next import on this importer or its destruction.
    void ImportFromFile(std::string fileName, bool preprocessorMode);
    // The file name exactly as the latest ImportFromFile got it; empty before the first.
    std::string GetOriginalFileName() const;
    // The preprocessing switch of the latest ImportFromFile; true before the first.
    bool GetPreprocessorMode() const;
    // The root the parser stored; null until one did. The importer does not own it.
    XObject* GetXObject() const;
    // Deletes an imported root; null is ignored. No importer forgets its pointer.
    static void DeleteImportedXObject(XObject* object);

protected:
    // Empty name, no stream, no root, preprocessing mode on.
    XMLImporterBase();
    // Closes a stream that is still open; the root is left alone.
    ~XMLImporterBase();

    // The stream open for reading while ParseXMLFile runs; null otherwise.
    std::FILE* GetCurrentXMLFileStream() const;
    // Resets the symbol table. In preprocessing mode it interns each entity (name, then
    // text, resolved, associated), then the predefined lt, gt, apos, quot and amp the
    // document left undefined, and leaves resolution on; otherwise resolution off.
    // Throws nothing; a failed entity is skipped, its reason in SymbolGetLastError.
    void InitSymbolTable(const _TextEntity* entities);

    // The parser: reads GetCurrentXMLFileStream(), stores the root in m_importedXObject,
    // reports failures by throwing XException. Called only by ImportFromFile.
    virtual void ParseXMLFile() = 0;

private:
    std::string m_fileName;

protected:
    // Open while the parser runs. A parser that closes it itself sets it to null.
    std::FILE* m_currentXMLFileStream;
    // Set by the parser; never set or deleted by this class.
    XObject* m_importedXObject;

private:
    bool m_preprocessorMode;
    // ParseXMLFile is running: an import it starts hands the stream back afterwards.
    bool m_parsing;
};

} // namespace Ostrel

#endif
