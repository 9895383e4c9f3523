// Runs an importer over arbitrary bytes written to a scratch file.
#ifndef OSTREL_FUZZ_IMPORTERS_H
#define OSTREL_FUZZ_IMPORTERS_H

#include <ostrelbase/ostrel.h>
#include <ostrelbase/xmlimporterbase.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>

namespace ostrel_fuzz {

// The first byte picks the preprocessing mode; the rest is the document. An import
// either throws XException or gives a tree that can be written out and freed.
template <class Importer>
int importBytes(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static const std::string path = "/tmp/ostrel-fuzz-" + std::to_string(getpid()) + ".xml";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);
    Importer importer;
    try {
        importer.ImportFromFile(path, (data[0] & 1) != 0);
    } catch (Ostrel::XException& e) {
        if (e.GetMsg().compare(0, 7, "Error: ") != 0) __builtin_trap();
        return 0;
    }
    Ostrel::XObject* root = importer.GetXObject();
    if (root == nullptr) __builtin_trap();
    std::ostringstream out;
    root->EmitXML(out, 0);
    root->IsValid();
    Ostrel::XMLImporterBase::DeleteImportedXObject(root);
    return 0;
}

} // namespace ostrel_fuzz

#endif
