// XMLImporterBase: opening and closing the input around the parser, and seeding the
// symbol table.
#include <ostrelbase/xmlimporterbase.h>

#include <ostrelbase/ostrel.h>
#include <ostrelbase/symboltable.h>

#include <cerrno>
#include <cstring>

namespace Ostrel {

namespace {

void closeStream(std::FILE*& stream) {
    if (stream == nullptr) return;
    std::fclose(stream);
    stream = nullptr;
}

// Interns name and text as an associated pair; a failed half leaves no association.
void defineEntity(const char* name, const char* text) {
    const int nameIndex = SymbolInsert(name, 0);
    const int textIndex = SymbolInsert(text, 0);
    if (nameIndex > 0 && textIndex > 0) SymbolAssociate(nameIndex, textIndex);
}

} // namespace

XMLImporterBase::XMLImporterBase()
    : m_fileName(), m_currentXMLFileStream(nullptr), m_importedXObject(nullptr),
      m_preprocessorMode(true), m_parsing(false) {}

XMLImporterBase::XMLImporterBase(const XMLImporterBase& other)
    : m_fileName(other.m_fileName), m_currentXMLFileStream(nullptr),
      m_importedXObject(other.m_importedXObject), m_preprocessorMode(other.m_preprocessorMode),
      m_parsing(false) {}

XMLImporterBase& XMLImporterBase::operator=(const XMLImporterBase& other) {
    m_fileName = other.m_fileName;
    m_importedXObject = other.m_importedXObject;
    m_preprocessorMode = other.m_preprocessorMode;
    return *this;
}

XMLImporterBase::~XMLImporterBase() { closeStream(m_currentXMLFileStream); }

void XMLImporterBase::ImportFromFile(std::string fileName, bool preprocessorMode) {
    if (fileName.empty()) OSTREL_THROW("Error: ImportFromFile() called with an empty filename");
    m_fileName = fileName;
    m_preprocessorMode = preprocessorMode;

    // Started by the running parser: its stream is still in use and comes back
    // afterwards. Otherwise an open stream was left by a parser that threw: close it.
    const bool nested = m_parsing;
    std::FILE* const outer = nested ? m_currentXMLFileStream : nullptr;
    if (!nested) closeStream(m_currentXMLFileStream);

    errno = 0;
    m_currentXMLFileStream = std::fopen(m_fileName.c_str(), "r");
    if (m_currentXMLFileStream == nullptr) {
        const int error = errno;
        m_currentXMLFileStream = outer;
        const char* text = std::strerror(error);
        if (text != nullptr && *text != '\0')
            OSTREL_THROW("Error: ImportFromFile() could not open file '" + m_fileName +
                         "', Msg: '" + text + "'");
        OSTREL_THROW("Error: ImportFromFile() could not open file '" + m_fileName +
                     "', no error string found for errno: " + std::to_string(error));
    }

    m_parsing = true;
    try {
        ParseXMLFile();
    } catch (...) {
        m_parsing = nested;
        // The stream of a failed parse stays for the caller to look at, unless an outer
        // parse needs the member back.
        if (nested) {
            closeStream(m_currentXMLFileStream);
            m_currentXMLFileStream = outer;
        }
        throw;
    }
    m_parsing = nested;
    closeStream(m_currentXMLFileStream);
    m_currentXMLFileStream = outer;
}

std::string XMLImporterBase::GetOriginalFileName() const { return m_fileName; }

bool XMLImporterBase::GetPreprocessorMode() const { return m_preprocessorMode; }

XObject* XMLImporterBase::GetXObject() const { return m_importedXObject; }

void XMLImporterBase::DeleteImportedXObject(XObject* object) { delete object; }

std::FILE* XMLImporterBase::GetCurrentXMLFileStream() const { return m_currentXMLFileStream; }

void XMLImporterBase::InitSymbolTable(const _TextEntity* entities) {
    SymbolResetTable();
    if (!m_preprocessorMode) {
        SymbolResolveEntities(0);
        return;
    }
    SymbolResolveEntities(1);
    if (entities != nullptr)
        for (const _TextEntity* e = entities; e->name != nullptr && e->text != nullptr; ++e)
            defineEntity(e->name, e->text);

    // The predefined entities the document did not define itself.
    static const _TextEntity predefined[] = {
        {"lt", "<"}, {"gt", ">"}, {"apos", "'"}, {"quot", "\""}};
    for (const _TextEntity& e : predefined)
        if (SymbolLookup(e.name) == 0) defineEntity(e.name, e.text);

    // The lone '&' must not be read as the start of a reference.
    SymbolResolveEntities(0);
    if (SymbolLookup("amp") == 0) defineEntity("amp", "&");
    SymbolResolveEntities(1);
}

} // namespace Ostrel
