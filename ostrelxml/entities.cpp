#include "ostrelxml/entities.h"

#include "ostrelxml/input.h"
#include "ostrelxml/references.h"
#include "ostrelxml/xmlchars.h"

#include <ostrelbase/symboltable.h>

#include <algorithm>

namespace ostrel_xml {

namespace {

// The symbol table resolves references in what it interns; "&#38;#38;" is how it is
// told to store one literal '&', so every '&' of a replacement text is written that way.
std::string encodeForTable(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '&')
            out += "&#38;#38;";
        else
            out += c;
    }
    return out;
}

} // namespace

namespace {
const char* const kPredefinedNames[5] = {"lt", "gt", "amp", "apos", "quot"};
const char kPredefinedChars[5] = {'<', '>', '&', '\'', '"'};
} // namespace

int Entities::predefinedIndex(std::string_view name) {
    for (int i = 0; i < 5; ++i)
        if (name == kPredefinedNames[i]) return i;
    return -1;
}

int Entities::predefinedReferenceAt(const char* p, std::size_t& length) {
    // Compared byte by byte, so that the first byte that differs (a NUL too) ends the look.
    for (int i = 0; i < 5; ++i) {
        const char* name = kPredefinedNames[i];
        std::size_t n = 0;
        while (name[n] && p[n + 1] == name[n]) ++n;
        if (!name[n] && p[n + 1] == ';') {
            length = n + 2;
            return i;
        }
    }
    return -1;
}

bool Entities::predefined(const std::string& name, char* c) {
    const int which = predefinedIndex(name);
    if (which < 0) return false;
    if (c) *c = kPredefinedChars[which];
    return true;
}

void Entities::declareGeneral(const std::string& name, EntityDecl decl) {
    if (predefined(name)) return;
    if (m_general.emplace(name, std::move(decl)).second) m_generalOrder.push_back(name);
}

void Entities::declareParameter(const std::string& name, EntityDecl decl) {
    if (m_parameter.emplace(name, std::move(decl)).second) m_parameterOrder.push_back(name);
}

const EntityDecl* Entities::parameter(const std::string& name) const {
    auto found = m_parameter.find(name);
    return found == m_parameter.end() ? nullptr : &found->second;
}

void Entities::seed(const EntitySeeder& seeder, bool preprocess) {
    seedTable(seeder, preprocess);
    // The table does not change while the document is read: its texts are taken once.
    for (int i = 0; i < 5; ++i) {
        const char* text = tableText(kPredefinedNames[i]);
        m_predefinedText[i] = text && text[0] ? text[0] : kPredefinedChars[i];
    }
}

void Entities::seedTable(const EntitySeeder& seeder, bool preprocess) {
    if (!seeder) return;
    std::vector<std::string> storage;
    storage.reserve(2 * (m_general.size() + m_parameter.size()));
    std::vector<std::pair<size_t, size_t>> pairs;
    auto add = [&](const std::string& name, const EntityDecl& decl) {
        if (decl.external) return;
        storage.push_back(name);
        storage.push_back(encodeForTable(decl.value));
        pairs.emplace_back(storage.size() - 2, storage.size() - 1);
    };
    for (const std::string& name : m_generalOrder) add(name, m_general.at(name));
    for (const std::string& name : m_parameterOrder) add("%" + name, m_parameter.at(name));
    std::vector<Ostrel::_TextEntity> list;
    for (const auto& pair : pairs)
        list.push_back({storage[pair.first].c_str(), storage[pair.second].c_str()});
    list.push_back({nullptr, nullptr});
    seeder(m_general.empty() && m_parameter.empty() ? nullptr : list.data());

    m_tableIndex.clear();
    if (!preprocess) return;
    // Names interned later may shadow an entity's name; remember each name's own entry,
    // the newest one that carries an association.
    for (int i = SymbolGetCount(); i > 0; --i) {
        if (SymbolGetAssociatedIndex(i) == 0) continue;
        const char* lexeme = SymbolGetEntry(i);
        if (!lexeme) continue;
        std::string name(lexeme);
        if ((m_general.count(name) || predefined(name)) && !m_tableIndex.count(name))
            m_tableIndex.emplace(name, i);
    }
}

const char* Entities::tableText(const std::string& name) const {
    auto found = m_tableIndex.find(name);
    return found == m_tableIndex.end() ? nullptr : SymbolGetAssociatedVal(found->second);
}

std::string_view Entities::replacement(const std::string& name, const std::string& file,
                                       long long line, long long column) const {
    auto found = m_general.find(name);
    if (found == m_general.end())
        throwScanError(file, line, column,
                       "entity '" + name + "' is not defined" + m_undefinedNote);
    if (found->second.unparsed)
        throwScanError(file, line, column,
                       "entity '" + name + "' is an unparsed (NDATA) entity and cannot be "
                       "referenced here");
    if (found->second.external)
        throwScanError(file, line, column,
                       "entity '" + name + "' is external; external entities are never read");
    if (const char* text = tableText(name)) return text;
    // The table had no room for it: the scanner's own copy is the same text.
    return found->second.value;
}

void Entities::expand(const std::string& name, RefContext context, std::string& out,
                      const std::string& file, long long line, long long column,
                      long long inputBytes) {
    m_active.clear();
    const int which = predefinedIndex(name);
    if (which >= 0) {
        out += m_predefinedText[which];
        return;
    }
    expandText(name, replacement(name, file, line, column), context, out, file, line, column,
               inputBytes, 1);
}

void Entities::charge(const std::string& name, size_t size, int depth, const std::string& file,
                      long long line, long long column, long long inputBytes) {
    if (depth > kMaxEntityDepth)
        throwScanError(file, line, column,
                       "entities nest more than " + std::to_string(kMaxEntityDepth) +
                           " levels deep (at entity '" + name + "')");
    m_expanded += static_cast<long long>(size) + kExpansionOverhead;
    const long long limit = kExpansionAllowance + kExpansionFactor * inputBytes;
    if (m_expanded > limit)
        throwScanError(file, line, column,
                       "expanding entity '" + name + "' passes the limit of " +
                           std::to_string(limit) +
                           " bytes of entity text for this document (entity expansion is "
                           "bounded)");
}

std::string_view Entities::enter(const std::string& name, const std::vector<std::string>& open,
                                 const std::string& file, long long line, long long column,
                                 long long inputBytes) {
    const std::string_view text = replacement(name, file, line, column);
    if (std::find(open.begin(), open.end(), name) != open.end())
        throwScanError(file, line, column, "entity '" + name + "' refers to itself");
    charge(name, text.size(), static_cast<int>(open.size()) + 1, file, line, column,
           inputBytes);
    return text;
}

void Entities::expandText(const std::string& name, std::string_view text, RefContext context,
                          std::string& out, const std::string& file, long long line,
                          long long column, long long inputBytes, int depth) {
    for (const std::string* active : m_active)
        if (*active == name)
            throwScanError(file, line, column, "entity '" + name + "' refers to itself");
    charge(name, text.size(), depth, file, line, column, inputBytes);
    auto activeName = m_general.find(name);
    m_active.push_back(&activeName->first);

    const std::string_view source = text;
    for (size_t i = 0; i < source.size();) {
        char ch = source[i];
        if (ch == '&') {
            Reference ref;
            std::string problem = parseReference(source, i, ref);
            if (!problem.empty())
                throwScanError(file, line, column,
                               problem + " (in the replacement text of entity '" + name + "')");
            char data = 0;
            if (ref.isChar)
                appendUtf8(out, ref.code);
            else if (predefined(ref.name, &data))
                out += data;
            else
                expandText(ref.name, replacement(ref.name, file, line, column), context, out,
                           file, line, column, inputBytes, depth + 1);
            i = ref.end;
            continue;
        }
        if (ch == '<') {
            if (context == RefContext::Attribute)
                throwScanError(file, line, column,
                               "'<' is not allowed in an attribute value (it comes from "
                               "entity '" + name + "')");
            throwScanError(file, line, column,
                           "entity '" + name + "' holds markup ('<'); markup in entity "
                           "replacement text is not supported");
        }
        if (context == RefContext::Attribute) {
            out += (ch == '\t' || ch == '\n' || ch == '\r') ? ' ' : ch;
        } else {
            // A carriage return here came from a character reference: it stays.
            if (ch == ']' && source.compare(i, 3, "]]>") == 0)
                throwScanError(file, line, column,
                               "']]>' is not allowed in text (in the replacement text of "
                               "entity '" + name + "')");
            out += ch;
        }
        ++i;
    }
    m_active.pop_back();
}

} // namespace ostrel_xml
