// Runs an importer over arbitrary bytes written to a scratch file, in both modes.
#ifndef OSTREL_FUZZ_IMPORTERS_H
#define OSTREL_FUZZ_IMPORTERS_H

#include <ostrelbase/ostrel.h>
#include <ostrelbase/xmlimporterbase.h>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace ostrel_fuzz {

// The scratch files of this process, in memory where the system has a place for that;
// removed when the process exits.
struct ScratchFiles {
    const std::string stem = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                             "/ostrel-fuzz-" + std::to_string(getpid());
    const std::string input = stem + "-in.xml", again = stem + "-again.xml";
    ~ScratchFiles() { std::remove(input.c_str()), std::remove(again.c_str()); }
};

inline const ScratchFiles& scratch() {
    static const ScratchFiles files;
    return files;
}

inline void writeScratch(const std::string& path, const void* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || (size != 0 && std::fwrite(data, 1, size, f) != size)) std::abort();
    std::fclose(f);
}

[[noreturn]] inline void fault(const char* what, const std::string& detail = std::string()) {
    std::fprintf(stderr, "fuzz oracle: %s\n%s\n", what, detail.c_str());
    std::fflush(stderr);
    __builtin_trap();
}

inline std::string emitted(Ostrel::XObject& root) {
    std::ostringstream out;
    root.EmitXML(out, 0);
    return out.str();
}

// Imports path; null when the importer refuses it, which must be an XException beginning
// "Error: " that leaves no root behind.
template <class Importer>
Ostrel::XObject* importFile(const std::string& path, bool preprocess) {
    Importer importer;
    try {
        importer.ImportFromFile(path, preprocess);
    } catch (const Ostrel::XException& e) {
        if (e.GetMsg().compare(0, 7, "Error: ") != 0) fault("message without 'Error: '", e.GetMsg());
        if (importer.GetXObject() == nullptr) return nullptr;
        fault("a partial tree after an error");
    }
    if (importer.GetXObject() == nullptr) fault("an import without error gave no root");
    return importer.GetXObject();
}

// Both modes over the document. Whatever the importer reads with preprocessing must be
// written the same when written, read again and written again.
template <class Importer>
int importBytes(const std::uint8_t* data, std::size_t size) {
    writeScratch(scratch().input, data, size);
    for (bool preprocess : {true, false}) {
        Ostrel::XObject* root = importFile<Importer>(scratch().input, preprocess);
        if (root == nullptr) continue;
        root->IsValid();
        const std::string text = emitted(*root);
        Ostrel::XObject* copy = root->clone();
        if (copy == nullptr || emitted(*copy) != text) fault("a clone writes differently");
        Ostrel::XMLImporterBase::DeleteImportedXObject(copy);
        if (preprocess) {
            writeScratch(scratch().again, text.data(), text.size());
            Ostrel::XObject* reread = importFile<Importer>(scratch().again, true);
            if (reread == nullptr || emitted(*reread) != text)
                fault("the written tree reads back differently", text);
            Ostrel::XMLImporterBase::DeleteImportedXObject(reread);
        }
        Ostrel::XMLImporterBase::DeleteImportedXObject(root);
    }
    return 0;
}

} // namespace ostrel_fuzz

#endif
