// A streaming XML 1.0 scanner for importers: a pull interface over a FILE stream.
#ifndef OSTRELXML_XMLSCANNER_H
#define OSTRELXML_XMLSCANNER_H

#include <ostrelbase/xmlimporterbase.h>
#include <ostrelxml/dtd.h>
#include <ostrelxml/ostrelxmlexport.h>

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel_xml {

// One attribute of a start tag.
struct Attribute {
    const char* name;   // interned; stays valid until the scanner is destroyed
    std::string value;  // normalized, references handled as the importer's mode says
    int line;           // position of the attribute name, 1-based (of the start tag when
    int column;         // defaulted)
    bool defaulted = false;  // supplied by the DTD's default, not written in the start tag
};

enum class Event { StartElement, EndElement, Text, End };

// Seeds the symbol table with the document's entities before the first element
// (an importer passes a call of its protected InitSymbolTable).
using EntitySeeder = std::function<void(const Ostrel::_TextEntity*)>;

// Reads a document event by event without holding the whole file. Every error is an
// Ostrel::XException: "Error: <file>:<line>:<column>: <what went wrong>".
//
// Encodings: UTF-8 (a byte order mark is skipped), US-ASCII, and ISO-8859-1 and UTF-16
// (with a byte order mark, or without one when the XML declaration names it), which are
// converted to UTF-8; anything else is an error. Comments and processing instructions are
// skipped; text around them is merged. The internal subset is read whole (dtd()). In
// preprocessing mode character references become UTF-8, entity references their
// replacement text (looked up in the symbol table; text holding markup is read as content),
// and the subset's attribute defaults are supplied; otherwise references stay as written.
// Nothing external (DTD or entity) is ever opened: a reference to an external entity is
// an error.
class OSTRELXML_API Scanner {
public:
    // Elements may nest this deep unless setMaxDepth says otherwise.
    static constexpr int kDefaultMaxDepth = 2048;

    // stream: open for reading; fileName: for messages; preprocess: replace references.
    // seeder: called once, before the first element; an empty seeder leaves the symbol
    // table alone (names are then kept by the scanner itself).
    Scanner(std::FILE* stream, std::string fileName, bool preprocess, EntitySeeder seeder);
    ~Scanner();
    Scanner(const Scanner&) = delete;
    Scanner& operator=(const Scanner&) = delete;

    // The next event; End once the root element has closed and only misc follows.
    Event next();

    // StartElement, EndElement: the interned element name.
    const char* name() const;
    // The same name with its length.
    std::string_view nameView() const;
    // StartElement: attributes in document order (a repeated name is already an error).
    const std::vector<Attribute>& attributes() const;
    // Text: character data, CDATA included, adjacent pieces merged.
    const std::string& text() const;
    // Text: the same characters without a copy; valid until the next call of next().
    std::string_view textView() const;
    // Text: whether it holds only white space.
    bool isWhitespace() const;
    // StartElement: text of white space only directly inside this element (line breaks
    // and indentation between its children) is not reported; other text still is.
    // Elsewhere it does nothing.
    void skipBlankText();
    // From now on white space alone between two tags is no Text event of its own: it comes
    // with the StartElement or EndElement event of the tag after it (blankBefore()), which
    // saves an event per line break of indented markup. Where an element asked
    // skipBlankText it is dropped as before. White space next to a comment, a processing
    // instruction or a reference still comes as Text.
    void attachBlankText();
    // StartElement, EndElement: the white space that stood right before the tag, when
    // attachBlankText is on; empty otherwise. Valid until the next call of next().
    std::string_view blankBefore() const;

    // Position of the current event's first character, 1-based.
    int line() const;
    int column() const;

    // Name and system identifier of the DOCTYPE; empty when the document has none.
    const std::string& doctypeName() const;
    const std::string& systemId() const;
    // The declarations of the DOCTYPE's internal subset, read by the first next(); empty
    // before it and for a document without one.
    const Dtd& dtd() const;

    // Bytes read from the file so far (whole blocks of 32 KiB).
    long long bytesRead() const;
    // Elements open at the current event (the element of a StartElement included).
    int depth() const;
    // A start tag nested deeper than this is an error (the trees built are walked
    // recursively); at least 1.
    void setMaxDepth(int depth);
    // The internal general entities of the document type, as a binding built from its DTD
    // knows them (a null-terminated array that outlives the scanner, or null): references
    // to them are read as if the external DTD had been, unless the document is standalone.
    // The internal subset's declarations take precedence. Call before the first next().
    void setTypeEntities(const Ostrel::_TextEntity* entities);
    // The file name the messages use.
    const std::string& fileName() const;
    // Replacement text of a general entity as the symbol table holds it after seeding;
    // null for none (or without preprocessing).
    const char* entityTextInTable(const std::string& name) const;

    // Throws the XException for an error at the current event's position.
    [[noreturn]] void fail(const std::string& what) const;
    // Throws the XException for an error at a given position.
    [[noreturn]] void failAt(int line, int column, const std::string& what) const;

private:
    struct Impl;
    Impl* m_impl;
};

// The name of the root element of a file, or "" when it cannot be read; never throws.
OSTRELXML_API std::string peekRootName(const std::string& fileName);

} // namespace ostrel_xml

#endif
