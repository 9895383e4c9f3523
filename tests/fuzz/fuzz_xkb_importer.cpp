// The XKB importer over arbitrary bytes, with and without preprocessing.
#include "fuzz_importers.h"

#include "xkb/xkb_importer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const int registered = (xkb::RegisterCreateFunctions(), 0);
    return registered + ostrel_fuzz::importBytes<xkb::XkbImporter>(data, size);
}
