// The XKB importer: each start tag is checked against the content model of the document
// type and made through the factory; each finished element goes to its typed parent.
#include "xkb/xkb_importer.h"

#include <ostrelbase/xobjfactory.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <typeinfo>

namespace xkb {

namespace {

using ostrel_xml::Scanner;
using schema::Kind;

std::string quoted(const char* name) { return std::string("'") + name + "'"; }
std::string quoted(Kind kind) { return quoted(schema::nameOf(kind)); }

void placeRoot(Scanner& scanner, Kind kind, const char* name) {
    if (kind != Kind::xkbConfigRegistry)
        scanner.fail("the root element is " + quoted(name) + ", not 'xkbConfigRegistry'");
}

void placeChild(Scanner& scanner, Kind parent, schema::Position& position, Kind kind,
                const char* name) {
    Kind expected = Kind::None;
    const schema::Placement placement = schema::place(parent, position, kind, &expected);
    if (placement == schema::Placement::Accepted) return;
    const std::string where = " in element " + quoted(parent);
    switch (placement) {
    case schema::Placement::Accepted:
        return;
    case schema::Placement::NotInModel:
        scanner.fail("element " + quoted(name) + " is not allowed" + where);
    case schema::Placement::Misplaced:
        if (expected != Kind::None)
            scanner.fail("element " + quoted(name) + " is not allowed here" + where +
                         ": element " + quoted(expected) + " must come first");
        scanner.fail("element " + quoted(name) + " is not allowed here" + where +
                     ": repeated or out of order");
    }
}

// The factory's registry, read directly: once per import rather than once per element.
class Registry : public Ostrel::XObjectFactory {
public:
    // The function registered under name; null when there is none (or it is null).
    static Ostrel::CreateFunction find(const char* name) {
        const auto found = m_createFuncMap.find(name);
        return found == m_createFuncMap.end() ? nullptr : found->second;
    }
};

// A new element from the create function registered for kind when the import began (null:
// the factory itself reports why there is none); its errors get the position.
std::unique_ptr<Ostrel::XObject> create(Scanner& scanner, Kind kind,
                                        Ostrel::CreateFunction function) {
    try {
        if (!function)
            return std::unique_ptr<Ostrel::XObject>(
                Ostrel::XObjectFactory::CreateObject(schema::nameOf(kind)));
        if (Ostrel::XObject* made = function()) return std::unique_ptr<Ostrel::XObject>(made);
    } catch (const Ostrel::XException& e) {
        const std::string& message = e.GetMsg();
        const std::string prefix = "Error: ";
        scanner.fail(message.compare(0, prefix.size(), prefix) == 0 ? message.substr(prefix.size())
                                                                    : message);
    }
    // What the factory says of a function that makes nothing.
    scanner.fail("Unable to allocate memory for object " + quoted(kind));
}

// Whether made is of the class T, which kind stands for.
template <class T>
bool isA(const Ostrel::XObject& made) {
    return typeid(made) == typeid(T) || dynamic_cast<const T*>(&made);
}

// Refuses an object of another class than the one the element stands for: only then can
// it be handed to its parent.
void checkClass(Scanner& scanner, Kind kind, const Ostrel::XObject& made) {
    bool fits = false;
    switch (kind) {
    case Kind::xkbConfigRegistry: fits = isA<xkbConfigRegistry>(made); break;
    case Kind::modelList: fits = isA<modelList>(made); break;
    case Kind::model: fits = isA<model>(made); break;
    case Kind::layoutList: fits = isA<layoutList>(made); break;
    case Kind::layout: fits = isA<layout>(made); break;
    case Kind::optionList: fits = isA<optionList>(made); break;
    case Kind::variantList: fits = isA<variantList>(made); break;
    case Kind::variant: fits = isA<variant>(made); break;
    case Kind::group: fits = isA<group>(made); break;
    case Kind::option: fits = isA<option>(made); break;
    case Kind::configItem: fits = isA<configItem>(made); break;
    case Kind::countryList: fits = isA<countryList>(made); break;
    case Kind::languageList: fits = isA<languageList>(made); break;
    case Kind::hwList: fits = isA<hwList>(made); break;
    case Kind::name:
    case Kind::shortDescription:
    case Kind::description:
    case Kind::vendor:
    case Kind::iso3166Id:
    case Kind::iso639Id:
    case Kind::hwId: fits = isA<Ostrel::string>(made); break;
    case Kind::None: break;
    }
    if (!fits)
        scanner.fail("the create function registered for " + quoted(kind) +
                     " made an object of another class");
}

// text as a C string for SetValueFromString, which would cut it at a NUL character.
const char* cText(Scanner& scanner, const std::string& text, int line, int column) {
    if (std::memchr(text.data(), '\0', text.size()))
        scanner.failAt(line, column, "the character U+0000 is not allowed in XML");
    return text.c_str();
}

[[noreturn]] void badValue(Scanner& scanner, const ostrel_xml::Attribute& attribute, Kind kind,
                           const char* allowed) {
    scanner.failAt(attribute.line, attribute.column,
                   "attribute " + quoted(attribute.name) + " of element " + quoted(kind) +
                       " has the value " + quoted(attribute.value.c_str()) + "; it must be " +
                       allowed);
}

// The attributes of the start tag, each checked against its declaration.
void readAttributes(Scanner& scanner, Kind kind, Ostrel::XObject& element) {
    for (const ostrel_xml::Attribute& attribute : scanner.attributes()) {
        const char* value = cText(scanner, attribute.value, attribute.line, attribute.column);
        if (kind == Kind::xkbConfigRegistry && std::strcmp(attribute.name, names::version) == 0) {
            static_cast<xkbConfigRegistry&>(element).SetVersion(attribute.value);
        } else if (kind == Kind::configItem &&
                   std::strcmp(attribute.name, names::popularity) == 0) {
            if (!configItem::IsPopularity(attribute.value))
                badValue(scanner, attribute, kind, "'standard' or 'exotic'");
            static_cast<configItem&>(element).SetPopularity(attribute.value);
        } else if (kind == Kind::group &&
                   std::strcmp(attribute.name, names::allowMultipleSelection) == 0) {
            Ostrel::boolean allow;
            if (!allow.SetValueFromString(value)) badValue(scanner, attribute, kind, "'true' or 'false'");
            static_cast<group&>(element).SetAllowMultipleSelection(allow);
        } else {
            scanner.failAt(attribute.line, attribute.column,
                           "attribute " + quoted(attribute.name) + " is not declared for element " +
                               quoted(kind));
        }
    }
}

// child as the class T its kind stands for (checked when it was made).
template <class T>
std::unique_ptr<T> as(std::unique_ptr<Ostrel::XObject>& child) {
    return std::unique_ptr<T>(static_cast<T*>(child.release()));
}

// Hands a finished element to its parent; the content model has placed it already.
void attach(Kind parentKind, Ostrel::XObject& parent, Kind kind,
            std::unique_ptr<Ostrel::XObject>& child) {
    switch (kind) {
    case Kind::modelList:
        static_cast<xkbConfigRegistry&>(parent).SetModelList(as<modelList>(child));
        return;
    case Kind::layoutList:
        static_cast<xkbConfigRegistry&>(parent).SetLayoutList(as<layoutList>(child));
        return;
    case Kind::optionList:
        static_cast<xkbConfigRegistry&>(parent).SetOptionList(as<optionList>(child));
        return;
    case Kind::model: static_cast<modelList&>(parent).GetModels().Add(as<model>(child)); return;
    case Kind::layout: static_cast<layoutList&>(parent).GetLayouts().Add(as<layout>(child)); return;
    case Kind::group: static_cast<optionList&>(parent).GetGroups().Add(as<group>(child)); return;
    case Kind::variantList:
        static_cast<layout&>(parent).SetVariantList(as<variantList>(child));
        return;
    case Kind::variant:
        static_cast<variantList&>(parent).GetVariants().Add(as<variant>(child));
        return;
    case Kind::option: static_cast<group&>(parent).GetOptions().Add(as<option>(child)); return;
    case Kind::configItem:
        if (parentKind == Kind::layout)
            static_cast<layout&>(parent).SetConfigItem(as<configItem>(child));
        else if (parentKind == Kind::group)
            static_cast<group&>(parent).SetConfigItem(as<configItem>(child));
        else  // model, variant, option
            static_cast<ConfiguredElement&>(parent).SetConfigItem(as<configItem>(child));
        return;
    case Kind::name: static_cast<configItem&>(parent).SetName(as<Ostrel::string>(child)); return;
    case Kind::shortDescription:
        static_cast<configItem&>(parent).SetShortDescription(as<Ostrel::string>(child));
        return;
    case Kind::description:
        static_cast<configItem&>(parent).SetDescription(as<Ostrel::string>(child));
        return;
    case Kind::vendor: static_cast<configItem&>(parent).SetVendor(as<Ostrel::string>(child)); return;
    case Kind::countryList:
        static_cast<configItem&>(parent).SetCountryList(as<countryList>(child));
        return;
    case Kind::languageList:
        static_cast<configItem&>(parent).SetLanguageList(as<languageList>(child));
        return;
    case Kind::hwList: static_cast<configItem&>(parent).SetHwList(as<hwList>(child)); return;
    case Kind::iso3166Id:
        static_cast<countryList&>(parent).GetIso3166Ids().Add(as<Ostrel::string>(child));
        return;
    case Kind::iso639Id:
        static_cast<languageList&>(parent).GetIso639Ids().Add(as<Ostrel::string>(child));
        return;
    case Kind::hwId: static_cast<hwList&>(parent).GetHwIds().Add(as<Ostrel::string>(child)); return;
    case Kind::xkbConfigRegistry:
    case Kind::None: return;  // the root has no parent
    }
}

} // namespace

xkbConfigRegistry* XkbImporter::GetRegistry() const {
    return dynamic_cast<xkbConfigRegistry*>(GetXObject());
}

std::unique_ptr<Ostrel::XObject> XkbImporter::createElement(Scanner& scanner,
                                                            Ostrel::XObject* parent) {
    const char* name = scanner.name();
    if (!parent) m_kinds.fill(KindOfName{});  // a new document: new interned names
    const Kind kind = kindOf(name);
    if (kind == Kind::None)
        scanner.fail("unknown element " + quoted(name) +
                     ": the XKB registry has no element of that name");
    if (!parent) {
        m_open.clear();  // a new document
        placeRoot(scanner, kind, name);
        // Registrations made since the last import take effect now.
        for (int k = 0; k < schema::kKinds; ++k)
            m_create[k] = Registry::find(schema::nameOf(static_cast<Kind>(k)));
    } else {
        Open& open = m_open.back();
        placeChild(scanner, open.kind, open.position, kind, name);
    }

    std::unique_ptr<Ostrel::XObject> element =
        create(scanner, kind, m_create[static_cast<int>(kind)]);
    checkClass(scanner, kind, *element);
    readAttributes(scanner, kind, *element);
    // Only leaves hold text; the line breaks and indentation between the children of the
    // others are ignored, so the scanner need not report them.
    if (!schema::isLeaf(kind)) scanner.skipBlankText();
    m_open.push_back(Open{kind, schema::Position(), false});
    return element;
}

schema::Kind XkbImporter::kindOf(const char* name) {
    // The scanner interns names, so the pointer stands for the name during an import.
    const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(name));
    KindOfName& entry = m_kinds[(bits * 0x9E3779B97F4A7C15ULL) >> 58];
    if (entry.name != name) entry = KindOfName{name, schema::kindOf(name)};
    return entry.kind;
}

void XkbImporter::addText(Scanner& scanner, Ostrel::XObject& element) {
    Open& open = m_open.back();
    if (!schema::isLeaf(open.kind)) {
        if (scanner.isWhitespace()) return;
        scanner.fail("text is not allowed in element " + quoted(open.kind) +
                     ", which holds elements only");
    }
    auto& leaf = static_cast<Ostrel::string&>(element);
    const std::string_view text = scanner.textView();
    if (!open.hasText) {
        if (std::memchr(text.data(), '\0', text.size()))
            scanner.failAt(scanner.line(), scanner.column(),
                           "the character U+0000 is not allowed in XML");
        if (typeid(leaf) == typeid(Ostrel::string)) {
            // What SetValueFromString does, with the text copied once, straight from
            // the scanner.
            static_cast<std::string&>(leaf) = std::string(text);
        } else {
            const std::string value(text);
            leaf.SetValueFromString(value.c_str());
        }
        open.hasText = true;
    } else {
        // Text the scanner reports in pieces is still one value.
        std::string joined = static_cast<const std::string&>(leaf);
        joined += text;
        leaf.SetValueFromString(cText(scanner, joined, scanner.line(), scanner.column()));
    }
}

void XkbImporter::endElement(Scanner& scanner, Ostrel::XObject&) {
    const Open& open = m_open.back();
    const Kind missing = schema::missingAtEnd(open.kind, open.position);
    if (missing != Kind::None)
        scanner.fail("element " + quoted(open.kind) + " ends without its required element " +
                     quoted(missing));
    m_closed = open.kind;
    m_open.pop_back();
}

void XkbImporter::addChild(Scanner&, Ostrel::XObject& parent,
                           std::unique_ptr<Ostrel::XObject> child) {
    attach(m_open.back().kind, parent, m_closed, child);
}

} // namespace xkb
