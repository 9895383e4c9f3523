#include "generic/generic_importer.h"

namespace generic {

void GenericImporter::ParseXMLFile() { scanFreeing(m_children); }

std::unique_ptr<Ostrel::XObject> GenericImporter::createElement(ostrel_xml::Scanner& scanner,
                                                                Ostrel::XObject* parent) {
    if (!parent) {
        // A new document. Its indentation comes with the tags, not as events of its own.
        m_open.clear();
        m_children.clear();
        m_blanks.clear();
        m_blankChars.clear();
        scanner.attachBlankText();
    } else {
        const std::string_view blank = scanner.blankBefore();
        if (!blank.empty()) takeText(blank, true);  // inside the parent, before this element
    }
    auto element = std::make_unique<GenericElement>(scanner.nameView());
    for (const ostrel_xml::Attribute& attribute : scanner.attributes())
        element->setAttributeText(attribute.name, attribute.value);
    Open& open = m_open.emplace_back();
    open.blanks = m_blanks.size();
    open.firstChild = m_children.size();
    return element;
}

void GenericImporter::addText(ostrel_xml::Scanner& scanner, Ostrel::XObject&) {
    takeText(scanner.textView(), scanner.isWhitespace());
}

void GenericImporter::takeText(std::string_view text, bool whitespace) {
    Open& open = m_open.back();
    if (!open.content) {
        if (whitespace) {
            // Field by field: a whole record built aside and copied in stalls the store.
            Blank& blank = m_blanks.emplace_back();
            blank.before = m_children.size() - open.firstChild;
            blank.offset = m_blankChars.size();
            blank.length = text.size();
            m_blankChars.insert(m_blankChars.end(), text.begin(), text.end());
            return;
        }
        open.content = true;
        if (keptBlanks()) restoreBlanks();
    }
    appendText(text);
}

void GenericImporter::appendText(std::string_view text) {
    Ostrel::XObject* last =
        m_children.size() > m_open.back().firstChild ? m_children.back().get() : nullptr;
    if (auto child = GenericElement::textAfter(last, text)) m_children.push_back(std::move(child));
}

void GenericImporter::restoreBlanks() {
    // Only elements were added while white space was kept aside.
    const Open& open = m_open.back();
    std::vector<std::unique_ptr<Ostrel::XObject>> children(
        std::make_move_iterator(m_children.begin() + open.firstChild),
        std::make_move_iterator(m_children.end()));
    m_children.resize(open.firstChild);
    size_t next = open.blanks;
    for (size_t i = 0; i <= children.size(); ++i) {
        for (; next < m_blanks.size() && m_blanks[next].before == i; ++next)
            appendText(std::string_view(m_blankChars.data() + m_blanks[next].offset,
                                        m_blanks[next].length));
        if (i < children.size()) m_children.push_back(std::move(children[i]));
    }
    dropBlanks();
}

void GenericImporter::dropBlanks() {
    const size_t first = m_open.back().blanks;
    m_blankChars.resize(m_blanks[first].offset);
    m_blanks.resize(first);
}

void GenericImporter::endElement(ostrel_xml::Scanner& scanner, Ostrel::XObject& element) {
    const Open& open = m_open.back();
    // White space between child elements only is formatting: dropped, the last piece
    // before the end tag without being kept aside first.
    const bool formatting = open.elements && !open.content;
    if (!formatting) {
        const std::string_view blank = scanner.blankBefore();
        if (!blank.empty()) takeText(blank, true);
    }
    if (keptBlanks()) {
        if (formatting)
            dropBlanks();
        else
            restoreBlanks();
    }
    // The children go over at once, in a list of their number.
    if (open.firstChild < m_children.size()) {
        static_cast<GenericElement&>(element).adoptChildren(m_children, open.firstChild);
        m_children.resize(open.firstChild);
    }
    m_open.pop_back();
}

void GenericImporter::addChild(ostrel_xml::Scanner&, Ostrel::XObject&,
                               std::unique_ptr<Ostrel::XObject> child) {
    m_children.push_back(std::move(child));
    m_open.back().elements = true;
}

} // namespace generic
