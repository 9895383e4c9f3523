// fonts_typed FILE...: imports fontconfig configuration files with the generated binding
// and prints how many int, double and bool elements arrived as their typed values. Exit
// status 1 for an import error or such an element of another class.
#include "fonts.h"

#include <cstdio>
#include <memory>

namespace {

long counts[3] = {0, 0, 0};

// Whether every int, double and bool at or below object is typed; counts them.
bool typed(const Ostrel::XObject& object) {
    const std::string& tag = object.GetTag();
    if (tag == "int") return ++counts[0], dynamic_cast<const fonts::int_*>(&object) != nullptr;
    if (tag == "double") return ++counts[1], dynamic_cast<const fonts::double_*>(&object) != nullptr;
    if (tag == "bool") return ++counts[2], dynamic_cast<const Ostrel::boolean*>(&object) != nullptr;
    const auto* element = dynamic_cast<const ostrel_xml::binding::Element*>(&object);
    for (std::size_t i = 0; element && i < element->GetChildCount(); ++i)
        if (!element->IsTextChild(i) && !typed(element->GetChild(i))) return false;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        try {
            fonts::Importer importer;
            importer.ImportFromFile(argv[i], true);
            std::unique_ptr<Ostrel::XObject> root(importer.GetXObject());
            if (!typed(*root)) return std::fprintf(stderr, "%s: a value arrived untyped\n", argv[i]), 1;
        } catch (const Ostrel::XException& e) {
            return std::fprintf(stderr, "%s\n", e.GetMsg().c_str()), 1;
        }
    }
    std::printf("int %ld double %ld bool %ld\n", counts[0], counts[1], counts[2]);
}
