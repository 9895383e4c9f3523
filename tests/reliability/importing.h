// What the reliability tests share: their documents, what a tree writes, and an import
// that checks a refusal leaves no tree behind.
#ifndef OSTREL_TESTS_IMPORTING_H
#define OSTREL_TESTS_IMPORTING_H

#include "support/file_util.h"

#include "generic/generic_importer.h"
#include "xkb/xkb_importer.h"

#include <memory>
#include <new>
#include <sstream>
#include <string>

namespace ostrel_test {

inline std::string reliabilityData(const std::string& name) {
    return std::string(OSTREL_RELIABILITY_DATA) + "/" + name;
}

// What object writes, its attributes on their own included. A stream swallows a failure
// of its own buffer and only sets its bad bit: that counts as the failure it is.
inline std::string emitted(Ostrel::XObject& object) {
    std::ostringstream out;
    object.EmitXML(out, 0);
    object.EmitAttributes(out);
    if (!out) throw std::bad_alloc();
    return out.str();
}

// The message of importing file, or "" when it was read (what its tree writes in *tree).
// A refusal that leaves a tree, or a success without one, gives a message of its own.
template <class Importer>
std::string importError(const std::string& file, bool preprocess, std::string* tree = nullptr) {
    Importer importer;
    try {
        importer.ImportFromFile(file, preprocess);
    } catch (const Ostrel::XException& e) {
        return importer.GetXObject() ? "a partial tree: " + e.GetMsg() : e.GetMsg();
    } catch (...) {
        if (importer.GetXObject()) return "a partial tree";
        throw;
    }
    std::unique_ptr<Ostrel::XObject> root(importer.GetXObject());
    if (root && tree) *tree = emitted(*root);
    return root ? "" : "no tree without an error";
}

} // namespace ostrel_test

#endif
