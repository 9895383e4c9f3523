#include "generic/generic_importer.h"

namespace generic {

std::unique_ptr<Ostrel::XObject> GenericImporter::createElement(ostrel_xml::Scanner& scanner,
                                                                Ostrel::XObject*) {
    auto element = std::make_unique<GenericElement>(scanner.name());
    for (const ostrel_xml::Attribute& attribute : scanner.attributes())
        element->setAttributeText(attribute.name, attribute.value);
    return element;
}

void GenericImporter::addText(ostrel_xml::Scanner& scanner, Ostrel::XObject& element) {
    static_cast<GenericElement&>(element).appendText(scanner.text());
}

void GenericImporter::endElement(ostrel_xml::Scanner&, Ostrel::XObject& element) {
    static_cast<GenericElement&>(element).dropFormattingWhitespace();
}

void GenericImporter::addChild(ostrel_xml::Scanner&, Ostrel::XObject& parent,
                               std::unique_ptr<Ostrel::XObject> child) {
    static_cast<GenericElement&>(parent).appendChild(std::move(child));
}

} // namespace generic
