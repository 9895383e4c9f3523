// The naming rule of ostrel-gen (see naming.h).
#include "naming.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace ostrel_gen {

namespace {

const char* const kKeywords[] = {
    "alignas", "alignof", "and", "and_eq", "asm", "auto", "bitand", "bitor", "bool", "break",
    "case", "catch", "char", "char16_t", "char32_t", "char8_t", "class", "co_await",
    "co_return", "co_yield", "compl", "concept", "const", "const_cast", "consteval",
    "constexpr", "constinit", "continue", "decltype", "default", "delete", "do", "double",
    "dynamic_cast", "else", "enum", "explicit", "export", "extern", "false", "float", "for",
    "friend", "goto", "if", "inline", "int", "long", "mutable", "namespace", "new",
    "noexcept", "not", "not_eq", "nullptr", "operator", "or", "or_eq", "private",
    "protected", "public", "register", "reinterpret_cast", "requires", "return", "short",
    "signed", "sizeof", "static", "static_assert", "static_cast", "struct", "switch",
    "template", "this", "thread_local", "throw", "true", "try", "typedef", "typeid",
    "typename", "union", "unsigned", "using", "virtual", "void", "volatile", "wchar_t",
    "while", "xor", "xor_eq"};

// Names the generated code itself puts in or uses from the binding's namespace, and the
// names the element classes' bases declare, which a class name would hide inside the
// class bodies.
const char* const kReserved[] = {
    "ConvertToStdEntities", "Importer", "Ostrel", "RegisterCreateFunctions", "Slot", "addLeaf",
    "appendImported", "appendText", "attributeValue", "child", "clone", "closeTag", "collect",
    "copyAttributesFrom", "copyOf", "doIndent", "emitContentInline", "emitInline",
    "findAttribute", "findChild", "freeAttributes", "getAttribute", "hasEquivalentAttributes",
    "hasValidAttributeSet", "hasValidAttributes", "hasValidContent", "insertChild",
    "m_attributes", "m_children", "m_revision", "m_tag", "m_type", "m_value", "openTag",
    "ostrel_xml", "removeAll", "schema", "setAttribute", "setAttributeValue", "setChild",
    "setImportedAttribute", "setLeaf", "std", "tables", "textValue", "typeOf"};

bool isAsciiAlnum(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// The name with the characters replaced and the underscores collapsed.
std::string base(const std::string& xmlName) {
    std::string out;
    for (std::size_t i = 0; i < xmlName.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(xmlName[i]);
        if (isAsciiAlnum(c)) {
            out += static_cast<char>(c);
            continue;
        }
        // A UTF-8 sequence is one character: skip its continuation bytes.
        while (c >= 0xC0 && i + 1 < xmlName.size() &&
               (static_cast<unsigned char>(xmlName[i + 1]) & 0xC0) == 0x80)
            ++i;
        if (out.empty() || out.back() != '_') out += '_';
    }
    if (!out.empty() && out[0] == '_') out.insert(out.begin(), 'x');
    return out;
}

} // namespace

bool isKeyword(const std::string& word) {
    return std::find(std::begin(kKeywords), std::end(kKeywords), word) != std::end(kKeywords);
}

std::string identifier(const std::string& xmlName) {
    std::string id = base(xmlName);
    if (isKeyword(id) ||
        std::find(std::begin(kReserved), std::end(kReserved), id) != std::end(kReserved))
        id += '_';
    return id;
}

std::string accessorWord(const std::string& xmlName) {
    std::string word = base(xmlName);
    if (!word.empty() && word[0] >= 'a' && word[0] <= 'z') word[0] = static_cast<char>(word[0] - 'a' + 'A');
    return word;
}

std::string plural(const std::string& word) {
    auto endsWith = [&word](const char* tail) {
        const std::string t(tail);
        return word.size() >= t.size() && word.compare(word.size() - t.size(), t.size(), t) == 0;
    };
    if (endsWith("s") || endsWith("x") || endsWith("z") || endsWith("ch") || endsWith("sh"))
        return word + "es";
    if (word.size() >= 2 && endsWith("y")) {
        const char before = word[word.size() - 2];
        if (std::string("aeiouAEIOU").find(before) == std::string::npos)
            return word.substr(0, word.size() - 1) + "ies";
    }
    return word + "s";
}

std::string literal(const std::string& text) {
    std::string out = "\"";
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c >= 0x7F) {
            // Octal escapes end after three digits, so a following digit cannot join them.
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\%03o", c);
            out += escaped;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

} // namespace ostrel_gen
