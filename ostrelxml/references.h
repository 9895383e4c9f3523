// The syntax of character and entity references, read from a string: the one reader for
// references in the document, in entity literals and in replacement texts.
#ifndef OSTRELXML_REFERENCES_H
#define OSTRELXML_REFERENCES_H

#include <string>
#include <string_view>

namespace ostrel_xml {

struct Reference {
    bool isChar = false;  // &#N; or &#xH;
    long code = 0;        // the character of a character reference
    std::string name;     // the entity of an entity reference
    size_t end = 0;       // index after the ';'
};

// Reads the reference that begins with the '&' at text[at]. Returns "" and fills ref, or
// a message saying what is wrong with it.
std::string parseReference(std::string_view text, size_t at, Reference& ref);

// Whether a byte can continue the text of a reference ('#', 'x', digits, name characters).
inline bool continuesReference(long c) {
    return c == '#' || c == ';' || (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
           (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c == '-' || c == '.' || c >= 0x80;
}

} // namespace ostrel_xml

#endif
