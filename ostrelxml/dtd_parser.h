// The DTD reader's internal entry point for a document's internal subset.
#ifndef OSTRELXML_DTD_PARSER_H
#define OSTRELXML_DTD_PARSER_H

#include <ostrelxml/dtd.h>

#include <string>
#include <string_view>

namespace ostrel_xml {

// What the document says around its internal subset.
struct InternalSubsetContext {
    std::string file;               // the document, for messages
    long long line = 1;             // position of the subset's first character
    long long column = 1;
    bool hasExternalSubset = false; // the DOCTYPE names an external DTD (never read)
    bool standalone = false;        // standalone='yes' in the XML declaration
};

// Parses the text between '[' and ']' of a DOCTYPE (decoded to UTF-8, line ends already
// normalized to '\n') into the model, checking every well-formedness constraint on
// declarations. Parameter-entity references between declarations are expanded (bounded
// like general entities); a reference to an external parameter entity is not read, and
// from there on entity and attribute-list declarations are checked but not processed, as
// XML 1.0 says of a processor that does not read it. Any error is an XException at the
// position in the document (and, inside a parameter entity, the entity's name).
// Exported for the tests only: the header is not installed.
OSTRELXML_API Dtd parseInternalSubset(std::string_view text, const InternalSubsetContext& context);

} // namespace ostrel_xml

#endif
