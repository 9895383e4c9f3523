// Element and attribute names, each distinct name interned once: in the symbol table
// while it has room, in the scanner's own store after that.
#ifndef OSTREL_BINDINGS_NAME_STORE_H
#define OSTREL_BINDINGS_NAME_STORE_H

#include <deque>
#include <string>
#include <unordered_map>

namespace ostrel_xml {

// Token code of names in the symbol table (entities carry 0).
constexpr int kNameToken = 1;

class NameStore {
public:
    // useSymbolTable false keeps every name in the own store and leaves the table alone.
    explicit NameStore(bool useSymbolTable) : m_useTable(useSymbolTable) {}
    NameStore(const NameStore&) = delete;
    NameStore& operator=(const NameStore&) = delete;

    // The one pointer for this name; valid while the store lives (and the table is not
    // reset). Never null.
    const char* intern(const std::string& name);
    // Names that did not fit into the symbol table.
    size_t ownCount() const { return m_own.size(); }

private:
    bool m_useTable;
    std::unordered_map<std::string, const char*> m_map;
    std::deque<std::string> m_own;
};

} // namespace ostrel_xml

#endif
