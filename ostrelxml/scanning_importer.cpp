#include "ostrelxml/scanning_importer.h"

#include <ostrelbase/objectpool.h>

#include <vector>

namespace ostrel_xml {

namespace {
constexpr long long kProgressStep = 1024 * 1024;
}

std::unique_ptr<Ostrel::XObject> ScanningImporter::createElement(Scanner& scanner,
                                                                 Ostrel::XObject*) {
    scanner.fail("element '" + std::string(scanner.name()) + "' is not read by this importer");
}

void ScanningImporter::addText(Scanner& scanner, Ostrel::XObject& element) {
    if (!scanner.isWhitespace())
        scanner.fail("text is not read by this importer (in element '" + element.GetTag() + "')");
}

void ScanningImporter::endElement(Scanner&, Ostrel::XObject&) {}

void ScanningImporter::addChild(Scanner& scanner, Ostrel::XObject& parent,
                                std::unique_ptr<Ostrel::XObject> child) {
    scanner.fail("element '" + child->GetTag() + "' cannot be placed in element '" +
                 parent.GetTag() + "'");
}

void ScanningImporter::scan() { scan(nullptr); }

void ScanningImporter::scan(const Ostrel::_TextEntity* typeEntities) {
    m_importedXObject = nullptr;
    // The tree's objects come from the pools: one heap object per element and value.
    const Ostrel::PooledObjects pooled;
    Scanner scanner(GetCurrentXMLFileStream(), GetOriginalFileName(), GetPreprocessorMode(),
                    [this](const Ostrel::_TextEntity* entities) { InitSymbolTable(entities); });
    scanner.setTypeEntities(typeEntities);
    // Open elements, owned here until their end tag hands them to their parent.
    std::vector<std::unique_ptr<Ostrel::XObject>> open;
    std::unique_ptr<Ostrel::XObject> root;
    long long elements = 0, attributes = 0, nextReport = kProgressStep;
    for (bool done = false; !done;) {
        switch (scanner.next()) {
        case Event::StartElement: {
            Ostrel::XObject* parent = open.empty() ? nullptr : open.back().get();
            std::unique_ptr<Ostrel::XObject> element = createElement(scanner, parent);
            if (!element)
                scanner.fail("no object could be made for element '" +
                             std::string(scanner.name()) + "'");
            ++elements;
            attributes += static_cast<long long>(scanner.attributes().size());
            open.push_back(std::move(element));
            break;
        }
        case Event::Text:
            addText(scanner, *open.back());
            break;
        case Event::EndElement: {
            endElement(scanner, *open.back());
            std::unique_ptr<Ostrel::XObject> element = std::move(open.back());
            open.pop_back();
            if (open.empty())
                root = std::move(element);
            else
                addChild(scanner, *open.back(), std::move(element));
            break;
        }
        case Event::End:
            done = true;
            break;
        }
        if (m_progress && scanner.bytesRead() >= nextReport) {
            m_progress(scanner.bytesRead());
            nextReport = scanner.bytesRead() + kProgressStep;
        }
    }
    if (m_progress) m_progress(scanner.bytesRead());
    m_elements = elements;
    m_attributes = attributes;
    m_systemId = scanner.systemId();
    m_importedXObject = root.release();
}

} // namespace ostrel_xml
