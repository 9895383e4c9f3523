// The generic importer over arbitrary bytes, with and without preprocessing.
#include "fuzz_importers.h"

#include "generic/generic_importer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return ostrel_fuzz::importBytes<generic::GenericImporter>(data, size);
}
