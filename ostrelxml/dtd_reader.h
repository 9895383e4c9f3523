// The DTD reader shared by the internal subset and DTD files: markup declarations,
// parameter entities, conditional sections, into the model.
#ifndef OSTRELXML_DTD_READER_H
#define OSTRELXML_DTD_READER_H

#include "ostrelxml/dtd.h"
#include "ostrelxml/dtd_source.h"

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ostrel_xml {

// A DTD file or external parameter entity read whole (dtd_file.cpp): the text after its
// byte order mark and text declaration, and the position where that text begins.
struct DtdText {
    std::string text;
    long long line = 1;
    long long column = 1;
};
enum class DtdLoad { Read, CannotOpen, TooLarge };
// Reads path unless it cannot be opened or its text passes maxBytes; an XException for
// anything malformed in it.
DtdLoad loadDtdText(const std::string& path, long long maxBytes, DtdText& out);

class DtdReader {
public:
    struct Options {
        // The external subset: parameter-entity references inside declarations,
        // conditional sections, external parameter entities read.
        bool externalSubset = false;
        bool hasExternalSubset = false;  // internal subset: the DOCTYPE names one
        bool standalone = false;
        long long inputBytes = 0;  // the size of what is read, for the expansion bound
    };

    DtdReader(Dtd& dtd, DtdSource& source, const Options& options);

    // Reads declarations, comments, processing instructions, parameter-entity references
    // and conditional sections until the bottom text ends.
    void run();

private:
    // dtd_reader.cpp: the level between declarations and the lexical pieces.
    void parameterReference(bool betweenDeclarations);
    // A parameter entity of the document that is not read (external or undeclared): later
    // entity and attribute-list declarations are only checked unless standalone.
    void skipUnread(const std::string& name);
    void includeFile(const DtdEntity& entity, const DtdPlace& at, bool betweenDeclarations);
    // The text of an external parameter entity, charged to the expansion bound.
    DtdText externalText(const DtdEntity& entity, const DtdPlace& at);
    void conditionalSection();
    void skipIgnored(const DtdPlace& start);
    void closeSection();
    void comment();
    void processingInstruction();
    bool skipBlanks();
    // S? inside a declaration: white space, and in the external subset parameter-entity
    // references, whose text is read in place. Whether there was any.
    bool skipSpace();
    // Whether '%' Name ';' stands at the position.
    bool atParameterReference();
    void requireSpace(const std::string& where);
    bool readName(std::string& out);
    bool readNmtoken(std::string& out);
    std::string requireName(const std::string& what);
    // S? '>' closing the declaration that began at start.
    void endDeclaration(const std::string& what);
    // The length of the quoted literal at the position, quotes included.
    size_t literalLength(const std::string& what);
    void charge(size_t bytes, const DtdPlace& at, const std::string& entity);
    bool activeParameter(const std::string& name) const;
    std::string found();
    DtdPosition position(const DtdPlace& place) const;
    [[noreturn]] void fail(const std::string& what);
    [[noreturn]] void failAt(const DtdPlace& place, const std::string& what) const;

    // dtd_elements.cpp
    void elementDeclaration();
    void mixedContent(DtdElement& element);
    ContentParticle group(int depth);
    ContentParticle particle(int depth, bool first);
    ContentParticle::Occurrence occurrence();

    // dtd_attlists.cpp
    void attlistDeclaration();
    void attributeType(DtdAttribute& attribute);
    void tokenList(DtdAttribute& attribute, bool names);
    std::string defaultValue(const DtdAttribute& attribute);
    void expandInDefault(const std::string& name, std::string& out, const DtdPlace& at,
                         int depth);

    // dtd_entities.cpp
    void entityDeclaration();
    std::string entityValue(const std::string& entity);
    void includeInLiteral(const std::string& name, std::string& out, const DtdPlace& at,
                          int depth);
    void appendLiteralText(std::string_view text, std::string& out, const std::string& name,
                           const DtdPlace& at, int depth);
    void externalId(std::string& publicId, std::string& systemId, bool publicAlone);
    std::string quoted(const std::string& what, bool pubid);
    void notationDeclaration();

    Dtd& m_dtd;
    DtdSource& m_src;
    Options m_options;
    // Declared names: entities by their index in the model, and what has been declared
    // of the other kinds (the first declaration binds).
    std::map<std::string, size_t> m_general;
    std::map<std::string, size_t> m_parameter;
    std::set<std::string> m_elements;
    std::set<std::string> m_notations;
    std::set<std::pair<std::string, std::string>> m_attributes;
    // An external parameter entity was not read: later entity and attribute-list
    // declarations are checked only (unless standalone); undeclared parameter entities
    // are skipped like it.
    bool m_unread = false;
    bool m_processing = true;
    std::vector<DtdPlace> m_sections;        // open INCLUDE sections, innermost last
    std::vector<std::string> m_active;       // entities being expanded in a literal or value
    long long m_expanded = 0;
    long long m_limit = 0;
};

} // namespace ostrel_xml

#endif
