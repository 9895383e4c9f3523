// fonts_typed FILE...: imports fontconfig configuration files with the generated binding
// and checks that every int, double and bool element arrived as its typed value; prints
// how many of each. Exit status 1 for an import error or an element of another class.
#include "fonts.h"

#include <cstdio>
#include <memory>
#include <typeinfo>

namespace {

long counts[3] = {0, 0, 0};

// Whether every int, double and bool below element is typed; counts them.
bool typed(const Ostrel::XObject& object) {
    const std::string& tag = object.GetTag();
    if (tag == "int") return ++counts[0], dynamic_cast<const fonts::int_*>(&object) != nullptr;
    if (tag == "double") return ++counts[1], dynamic_cast<const fonts::double_*>(&object) != nullptr;
    if (tag == "bool") return ++counts[2], dynamic_cast<const Ostrel::boolean*>(&object) != nullptr;
    const auto* element = dynamic_cast<const ostrel_xml::binding::Element*>(&object);
    if (!element) return true;
    for (std::size_t i = 0; i < element->GetChildCount(); ++i)
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
            if (!typed(*root)) {
                std::fprintf(stderr, "%s: a value arrived untyped\n", argv[i]);
                return 1;
            }
        } catch (const Ostrel::XException& e) {
            std::fprintf(stderr, "%s\n", e.GetMsg().c_str());
            return 1;
        }
    }
    std::printf("int %ld double %ld bool %ld\n", counts[0], counts[1], counts[2]);
    return 0;
}
