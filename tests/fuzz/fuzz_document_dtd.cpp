// Documents with an internal subset — attribute defaults, entities holding markup,
// parameter entities — read by the generic importer, in UTF-8 or as UTF-16.
// Input: one byte of flags, then the subset, a NUL byte, and the content after it.
#include "fuzz_importers.h"

#include "generic/generic_importer.h"

#include <cstring>

namespace {

// Bit 0: write the document as UTF-16 (bit 1: big endian); each byte becomes one code
// unit, so a UTF-16 document is the Latin-1 reading of the UTF-8 one. Bit 2: the bytes
// after the flags are the UTF-16 code units themselves (surrogates and all).
std::string document(const std::uint8_t* data, std::size_t size) {
    const unsigned flags = data[0];
    const char* rest = reinterpret_cast<const char*>(data + 1);
    const std::size_t n = size - 1;
    const bool utf16 = flags & 1, bigEndian = flags & 2, raw = flags & 4;
    const std::string head =
        std::string("<?xml version='1.0'") + (utf16 ? " encoding='UTF-16'" : "") + "?>";
    const char* nul = static_cast<const char*>(std::memchr(rest, 0, n));
    const std::string text = head + "<!DOCTYPE d [" + std::string(rest, nul ? nul : rest + n) + "]>" +
                             (nul ? std::string(nul + 1, rest + n) : "<d/>");
    if (!utf16) return text;
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : raw ? head : text) {
        out += bigEndian ? '\0' : c;
        out += bigEndian ? c : '\0';
    }
    return raw ? out.append(rest, n) : out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string text = document(data, size);
    return ostrel_fuzz::importBytes<generic::GenericImporter>(
        reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}
