// The document's entities: their declarations, the seeding of the symbol table with them,
// and the bounded expansion of references in text and attribute values.
#ifndef OSTRELXML_ENTITIES_H
#define OSTRELXML_ENTITIES_H

#include "ostrelxml/xmlscanner.h"

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ostrel_xml {

struct EntityDecl {
    std::string value;      // replacement text: character references decoded, entity
                            // references kept as written
    bool external = false;  // SYSTEM or PUBLIC: never read
    bool unparsed = false;  // NDATA
};

// Where a reference stands: text is parsed as content, attribute values are normalized.
enum class RefContext { Content, Attribute };

// Limits that keep expansion linear in the input.
constexpr int kMaxEntityDepth = 40;
constexpr long long kExpansionAllowance = 8LL * 1024 * 1024;
constexpr long long kExpansionFactor = 10;
// What one expansion costs on top of its text, so that empty entities count too.
constexpr long long kExpansionOverhead = 32;

class Entities {
public:
    // Whether a name is one of lt, gt, amp, apos, quot; c receives its character.
    static bool predefined(const std::string& name, char* c = nullptr);
    // Which of lt, gt, amp, apos, quot (0 to 4) a name is; -1 for any other name.
    static int predefinedIndex(std::string_view name);
    // Which predefined entity the reference written at p ("&lt;", "&amp;", ...) names, its
    // length in `length`; -1 for any other text. Reads no byte past a NUL.
    static int predefinedReferenceAt(const char* p, std::size_t& length);
    // The character a reference to predefined entity `which` (predefinedIndex) expands to.
    char predefinedText(int which) const { return m_predefinedText[which]; }

    // The first declaration of a name binds; later ones and general declarations of the
    // predefined names are ignored.
    void declareGeneral(const std::string& name, EntityDecl decl);
    void declareParameter(const std::string& name, EntityDecl decl);
    const EntityDecl* parameter(const std::string& name) const;
    // Why a name may be undefined — declarations that were never read — added to the
    // message for an undefined entity.
    void setUndefinedNote(std::string note) { m_undefinedNote = std::move(note); }

    // Seeds the symbol table through the seeder with the internal entities (general by
    // name, parameter as '%name'), then finds each name's entry for later look-ups.
    void seed(const EntitySeeder& seeder, bool preprocess);

    // Appends the expansion of the general entity `name` to out. Errors are reported at
    // (line, column) of the reference in file. inputBytes bounds the total expansion.
    void expand(const std::string& name, RefContext context, std::string& out,
                const std::string& file, long long line, long long column,
                long long inputBytes);

    // A reference in content to the general entity `name`, whose replacement text is then
    // read as content: checks it (declared, parsed, internal, not among the entities being
    // read, `open` of them, nor deeper than the limit), charges its text against the
    // bound, and returns it. Errors as for expand.
    std::string_view enter(const std::string& name, const std::vector<std::string>& open,
                           const std::string& file, long long line, long long column,
                           long long inputBytes);

    // Replacement text of a general entity as the symbol table holds it (for tests and
    // listings); null when the table has none.
    const char* tableText(const std::string& name) const;

private:
    void seedTable(const EntitySeeder& seeder, bool preprocess);
    std::string_view replacement(const std::string& name, const std::string& file,
                                 long long line, long long column) const;
    // Counts text against the expansion bound and the depth limit.
    void charge(const std::string& name, size_t size, int depth, const std::string& file,
                long long line, long long column, long long inputBytes);
    void expandText(const std::string& name, std::string_view text, RefContext context,
                    std::string& out, const std::string& file, long long line,
                    long long column, long long inputBytes, int depth);

    std::map<std::string, EntityDecl> m_general;
    std::map<std::string, EntityDecl> m_parameter;
    std::vector<std::string> m_generalOrder;  // declaration order, for seeding
    std::vector<std::string> m_parameterOrder;
    std::unordered_map<std::string, int> m_tableIndex;
    std::vector<const std::string*> m_active;
    // The replacement of each predefined entity, as the symbol table holds it after seeding.
    char m_predefinedText[5] = {'<', '>', '&', '\'', '"'};
    long long m_expanded = 0;
    std::string m_undefinedNote;
};

} // namespace ostrel_xml

#endif
