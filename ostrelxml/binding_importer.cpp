// The importer of generated bindings: each start tag is checked against the schema and
// made through the factory, each finished element goes to its parent in document order.
#include "ostrelxml/binding_importer.h"

#include "ostrelxml/xmlchars.h"

#include <ostrelbase/xobjfactory.h>

#include <cstdint>
#include <cstring>
#include <string_view>

namespace ostrel_xml {
namespace binding {

namespace {

std::string quoted(const char* name) { return std::string("'") + name + "'"; }
std::string quoted(const std::string& name) { return "'" + name + "'"; }

// The factory's registry, read directly: once per import rather than once per element.
class Registry : public Ostrel::XObjectFactory {
public:
    // The function registered under name; null when there is none (or it is null).
    static Ostrel::CreateFunction find(const char* name) {
        const auto found = m_createFuncMap.find(name);
        return found == m_createFuncMap.end() ? nullptr : found->second;
    }
};

// "'a'", "'a' or 'b'", "'a', 'b' or 'c'".
template <class Name>
std::string alternatives(unsigned count, Name name) {
    std::string text;
    for (unsigned i = 0; i < count; ++i) {
        if (i > 0) text += i + 1 == count ? " or " : ", ";
        text += quoted(name(i));
    }
    return text;
}

const AttributeType* declaration(const ElementType& type, const char* name) {
    for (unsigned a = 0; a < type.attributeCount; ++a)
        if (std::strcmp(type.attributes[a].name, name) == 0) return &type.attributes[a];
    return nullptr;
}

// Whether a value of a type other than CDATA has blanks to collapse.
bool hasLooseBlanks(const std::string& value) {
    return !value.empty() && (value.front() == ' ' || value.back() == ' ' ||
                              value.find("  ") != std::string::npos);
}

} // namespace

Kind BindingImporter::kindOf(const char* name) {
    // The scanner interns names, so the pointer stands for the name during an import. A
    // name looks in four slots from its own, so that two names whose slots meet (likely
    // among a document's few dozen) do not evict each other on every element.
    const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(name));
    const std::size_t home = (bits * 0x9E3779B97F4A7C15ULL) >> 58;
    for (std::size_t probe = 0; probe < 4; ++probe) {
        KindOfName& entry = m_kinds[(home + probe) % m_kinds.size()];
        if (entry.name == name) return entry.kind;
        if (!entry.name) return (entry = KindOfName{name, findKind(*m_schema, name)}).kind;
    }
    return (m_kinds[home] = KindOfName{name, findKind(*m_schema, name)}).kind;
}

void BindingImporter::ParseXMLFile() { scanFreeing(m_children, m_schema->entities); }

std::unique_ptr<Ostrel::XObject> BindingImporter::createElement(Scanner& scanner,
                                                                Ostrel::XObject* parent) {
    const char* name = scanner.name();
    if (!parent) m_kinds.fill(KindOfName{});  // a new document: new interned names
    const Kind kind = kindOf(name);
    if (kind == m_schema->count)
        scanner.fail("unknown element " + quoted(name) + ": " + m_schema->title +
                     " has no element of that name");
    if (!parent)
        beginDocument(scanner, kind);
    else
        place(scanner, m_open.back(), kind);

    std::unique_ptr<Ostrel::XObject> element = create(scanner, kind);
    const ElementType& type = typeOf(kind);
    readAttributes(scanner, type, *element);
    // The line breaks and indentation between the children of element content are not
    // the document's data, so the scanner need not report them.
    if (type.content == Content::Elements) scanner.skipBlankText();
    if (type.content == Content::Text) {
        m_text.clear();
        m_textLine = 0;
    }
    m_open.emplace_back(kind, m_children.size());
    return element;
}

void BindingImporter::beginDocument(Scanner& scanner, Kind kind) {
    m_open.clear();
    m_children.clear();
    if (m_schema->root && std::strcmp(typeOf(kind).name, m_schema->root) != 0)
        scanner.fail("the root element is " + quoted(typeOf(kind).name) + ", not " +
                     quoted(m_schema->root));
    // Registrations made since the last import take effect now; names nobody registered
    // get the schema's own functions.
    m_create.assign(m_schema->count, nullptr);
    for (unsigned k = 0; k < m_schema->count; ++k) {
        const ElementType& type = typeOf(static_cast<Kind>(k));
        m_create[k] = Registry::find(type.name);
        if (!m_create[k]) {
            Ostrel::XObjectFactory::RegisterCreateFunction(type.name, type.create);
            m_create[k] = type.create;
        }
    }
}

void BindingImporter::place(Scanner& scanner, Open& parent, Kind kind) {
    const ElementType& type = typeOf(parent.kind);
    const int next = nextState(type, parent.state, kind);
    if (next >= 0) {
        parent.state = next;
        return;
    }
    const std::string what = "element " + quoted(typeOf(kind).name) + " is not allowed";
    const std::string where = " in element " + quoted(type.name);
    if (!namesChild(type, kind)) scanner.fail(what + where);
    const Kind first = requiredBefore(type, parent.state, kind);
    if (first != kTextKind)
        scanner.fail(what + " here" + where + ": element " + quoted(typeOf(first).name) +
                     " must come first");
    scanner.fail(what + " here" + where + ": repeated or out of order");
}

std::unique_ptr<Ostrel::XObject> BindingImporter::create(Scanner& scanner, Kind kind) {
    const ElementType& type = typeOf(kind);
    std::unique_ptr<Ostrel::XObject> made;
    try {
        made.reset(m_create[kind]());
    } catch (const Ostrel::XException& e) {
        const std::string& message = e.GetMsg();
        const std::string prefix = "Error: ";
        scanner.fail(message.compare(0, prefix.size(), prefix) == 0 ? message.substr(prefix.size())
                                                                    : message);
    }
    // What the factory says of a function that makes nothing.
    if (!made) scanner.fail("Unable to allocate memory for object " + quoted(type.name));
    // Only an object of the element's class can be handed to its parent; the schema's own
    // functions make nothing else.
    if (m_create[kind] != type.create && !type.isA(*made))
        scanner.fail("the create function registered for " + quoted(type.name) +
                     " made an object of another class");
    return made;
}

void BindingImporter::readAttributes(Scanner& scanner, const ElementType& type,
                                     Ostrel::XObject& element) {
    for (const Attribute& attribute : scanner.attributes()) {
        const AttributeType* declared = declaration(type, attribute.name);
        if (!declared)
            scanner.failAt(attribute.line, attribute.column,
                           "attribute " + quoted(attribute.name) +
                               (attribute.defaulted ? " (a default of the document's own DTD)" : "") +
                               " is not declared for element " + quoted(type.name));
        // A value of a type other than CDATA loses its outer blanks and keeps single ones
        // between its tokens (the document's own DTD may have collapsed it already).
        if (declared->tokenized && hasLooseBlanks(attribute.value)) {
            std::string collapsed = attribute.value;
            collapseBlanks(collapsed);
            readAttribute(scanner, type, *declared, attribute, collapsed, element);
        } else {
            readAttribute(scanner, type, *declared, attribute, attribute.value, element);
        }
    }
}

void BindingImporter::readAttribute(Scanner& scanner, const ElementType& type,
                                    const AttributeType& declared, const Attribute& attribute,
                                    const std::string& value, Ostrel::XObject& element) {
    // A default the document's own DTD supplied: the element has the binding's own
    // already, and when they agree it keeps that.
    if (attribute.defaulted && declared.defaultValue && value == declared.defaultValue) return;
    std::string allowed;
    if (!isAllowedText(declared, value))
        allowed = alternatives(declared.allowedCount,
                               [&declared](unsigned i) { return declared.allowed[i]; });
    else if (declared.presence == Presence::Fixed && value != declared.defaultValue)
        allowed = quoted(declared.defaultValue);
    else if (!isLexical(declared.type, value))
        allowed = describeValues(declared.type);
    if (!allowed.empty())
        scanner.failAt(attribute.line, attribute.column,
                       "attribute " + quoted(attribute.name) + " of element " + quoted(type.name) +
                           " has the value " + quoted(value) + "; it must be " + allowed);
    static_cast<Element&>(element).setImportedAttribute(declared, value.data(), value.size());
}

void BindingImporter::addText(Scanner& scanner, Ostrel::XObject& element) {
    const ElementType& type = typeOf(m_open.back().kind);
    switch (type.content) {
    case Content::Text: {
        const std::string_view text = scanner.textView();
        if (type.textType == ValueType::String) {
            // Straight into the value: most leaves are text.
            Ostrel::XObject& value =
                type.isLeaf ? element : *static_cast<Element&>(element).textValue();
            static_cast<std::string&>(static_cast<Ostrel::string&>(value))
                .append(text.data(), text.size());
            return;
        }
        if (m_textLine == 0) {
            m_textLine = scanner.line();
            m_textColumn = scanner.column();
        }
        m_text.append(text.data(), text.size());
        return;
    }
    case Content::Mixed:
    case Content::Any:
        static_cast<Element&>(element).appendText(scanner.text());
        return;
    case Content::Elements:
        if (scanner.isWhitespace()) return;
        scanner.fail("text is not allowed in element " + quoted(type.name) +
                     ", which holds elements only");
    case Content::Empty:
        scanner.fail("text is not allowed in element " + quoted(type.name) +
                     ", which is declared EMPTY");
    }
}

void BindingImporter::setText(Scanner& scanner, const ElementType& type, Ostrel::XObject& element) {
    if (type.textType == ValueType::String) return;  // added as it came
    if (!isLexical(type.textType, m_text)) {
        const std::string what = "element " + quoted(type.name) + " has the text " +
                                 quoted(m_text) + "; it must be " + describeValues(type.textType);
        if (m_textLine > 0) scanner.failAt(m_textLine, m_textColumn, what);
        scanner.fail(what);
    }
    Ostrel::XObject& value = type.isLeaf ? element : *static_cast<Element&>(element).textValue();
    setValueText(type.textType, value, m_text);
}

void BindingImporter::endElement(Scanner& scanner, Ostrel::XObject& element) {
    const Open& open = m_open.back();
    const ElementType& type = typeOf(open.kind);
    if (type.content == Content::Text) setText(scanner, type, element);
    if ((type.content == Content::Elements || type.content == Content::Mixed) &&
        !type.states[open.state].accepting) {
        const Kind missing = requiredToEnd(type, open.state);
        if (missing != kTextKind)
            scanner.fail("element " + quoted(type.name) + " ends without its required element " +
                         quoted(typeOf(missing).name));
        const State& state = type.states[open.state];
        scanner.fail("element " + quoted(type.name) + " ends before its content is complete: " +
                     "it needs element " +
                     alternatives(state.count, [&](unsigned i) {
                         return typeOf(type.transitions[state.first + i].kind).name;
                     }));
    }
    if (open.firstChild < m_children.size()) {
        static_cast<Element&>(element).adoptImported(m_children, open.firstChild);
        m_children.resize(open.firstChild);
    }
    m_closed = open.kind;
    m_open.pop_back();
}

void BindingImporter::addChild(Scanner&, Ostrel::XObject& parent,
                               std::unique_ptr<Ostrel::XObject> child) {
    // Only an element with a content model takes children, and every such one is an Element.
    // Element content waits for the end tag; in mixed content text comes between them.
    if (typeOf(m_open.back().kind).content == Content::Elements)
        m_children.emplace_back(std::move(child), m_closed);
    else
        static_cast<Element&>(parent).appendImported(m_closed, std::move(child));
}

} // namespace binding
} // namespace ostrel_xml
