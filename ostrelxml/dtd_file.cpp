// DTD files: the external subset and external parameter entities, read whole through
// Input (which decodes them and checks every character) after their text declaration.
#include "ostrelxml/dtd_reader.h"

#include "ostrelxml/input.h"
#include "ostrelxml/prologue.h"

#include <cstdio>
#include <limits>

namespace ostrel_xml {

namespace {

const RunTable kEverything = runUntil("", true);

} // namespace

DtdLoad loadDtdText(const std::string& path, long long maxBytes, DtdText& out) {
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream) return DtdLoad::CannotOpen;
    struct Closer {
        std::FILE* f;
        ~Closer() { std::fclose(f); }
    } closer{stream};
    Input in(stream, path);
    readDeclaration(in, DeclarationKind::TextDeclaration);
    out.line = in.line();
    out.column = in.column();
    out.text.clear();
    for (;;) {
        const char* run = in.data();
        const size_t n = in.scan(kEverything);
        out.text.append(run, n);
        if (static_cast<long long>(out.text.size()) > maxBytes) return DtdLoad::TooLarge;
        if (in.peek() < 0) return DtdLoad::Read;
        in.take(&out.text);
    }
}

Dtd readDtdFile(const std::string& path) {
    DtdText loaded;
    if (loadDtdText(path, std::numeric_limits<long long>::max(), loaded) != DtdLoad::Read)
        throwScanError(path, 1, 1, "cannot open the DTD file");
    Dtd dtd;
    dtd.files.push_back(path);
    DtdSource source;
    DtdReader::Options options;
    options.externalSubset = true;
    options.inputBytes = static_cast<long long>(loaded.text.size());
    source.pushTracked(std::move(loaded.text), source.fileName(path), loaded.line,
                       loaded.column, std::string(), true);
    DtdReader(dtd, source, options).run();
    return dtd;
}

} // namespace ostrel_xml
