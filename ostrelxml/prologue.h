// The start of a document or of an external entity: the encoding, found from a byte order
// mark or the first bytes, and the XML or text declaration. Documents and external entities
// (the DTD file, external parameter entities) share it.
#ifndef OSTRELXML_PROLOGUE_H
#define OSTRELXML_PROLOGUE_H

#include "ostrelxml/input.h"

#include <string>

namespace ostrel_xml {

enum class DeclarationKind { Document, TextDeclaration };

// What an XML or text declaration says; all empty and false when there is none.
struct Declaration {
    bool present = false;
    std::string version;      // as written; empty when not given (text declarations)
    std::string encoding;     // as written; empty when not given
    bool standalone = false;  // standalone='yes'
};

// Detects the encoding from the byte order mark or the first bytes, reads the XML
// declaration (Document: version required, encoding and standalone optional) or text
// declaration (TextDeclaration: version optional, encoding required, no standalone) when
// present, and sets in's encoding. Call it before anything else reads in. Any error (an
// encoding not read, a name contradicting the bytes, a malformed declaration) is an
// XException at its position.
Declaration readDeclaration(Input& in, DeclarationKind kind);

// Consumes white space, line ends included; whether there was any.
bool skipSpace(Input& in);
// A quoted literal (' or "), without its quotes; what names it in messages. Throws when
// there is no quote or the file ends before the closing one.
std::string readLiteral(Input& in, const std::string& what);
// The next character for messages: "'x'", "U+00E9", "the end of the file", "byte 0x89"
// where the bytes are no character (for UTF-16 input, take()'s error is thrown instead).
std::string describeNext(Input& in);

} // namespace ostrel_xml

#endif
