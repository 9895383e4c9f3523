// xkb_roundtrip IN OUT: imports an XKB registry with the binding and writes it back with
// EmitXMLToFile, naming the DTD the input's DOCTYPE named ("xkb.dtd" when it had none).
// Exit status 0 on success; 1 with the error on standard error otherwise.
#include "xkb/xkb_importer.h"

#include <cstdio>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: xkb_roundtrip IN OUT\n", stderr);
        return 1;
    }
    try {
        xkb::RegisterCreateFunctions();
        xkb::XkbImporter importer;
        importer.ImportFromFile(argv[1], true);
        std::unique_ptr<xkb::xkbConfigRegistry> root(importer.GetRegistry());
        if (!root->IsValid()) {
            std::fprintf(stderr, "xkb_roundtrip: the tree read from '%s' is not valid\n", argv[1]);
            return 1;
        }
        const std::string dtd = importer.systemId().empty() ? "xkb.dtd" : importer.systemId();
        root->EmitXMLToFile(argv[2], dtd.c_str());
        std::printf("%s: %lld elements, %lld attributes\n", argv[1], importer.elementCount(),
                    importer.attributeCount());
    } catch (const Ostrel::XException& e) {
        std::fprintf(stderr, "%s\n", e.GetMsg().c_str());
        return 1;
    }
    return 0;
}
