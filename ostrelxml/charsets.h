// The 8-bit character sets the reader decodes besides US-ASCII and ISO-8859-1.
#ifndef OSTRELXML_CHARSETS_H
#define OSTRELXML_CHARSETS_H

#include <string>

namespace ostrel_xml {

// What the reader's messages call the encodings it reads.
inline constexpr const char* kEncodingsRead =
    "UTF-8, UTF-16, US-ASCII, ISO-8859-1 to -16 (not -12), windows-1250 to -1258, KOI8-R, "
    "KOI8-U and IBM866";

// The code points of the bytes 0x80 to 0xFF in the character set a declaration calls
// upperName (upper case; the IANA name or a usual alias), 0 for a byte that stands for no
// character; null when no set read here has that name.
const char16_t* charsetNamed(const std::string& upperName);

} // namespace ostrel_xml

#endif
