// Element and attribute names, each distinct name interned once: in the symbol table
// while it has room, in the scanner's own store after that.
#ifndef OSTRELXML_NAME_STORE_H
#define OSTRELXML_NAME_STORE_H

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace ostrel_xml {

// Token code of names in the symbol table (entities carry 0).
constexpr int kNameToken = 1;

class NameStore {
public:
    // useSymbolTable false keeps every name in the own store and leaves the table alone.
    explicit NameStore(bool useSymbolTable) : m_useTable(useSymbolTable) {}
    NameStore(const NameStore&) = delete;
    NameStore& operator=(const NameStore&) = delete;

    // The one pointer for this name (NUL-terminated, name.size() bytes before the NUL);
    // valid while the store lives (and the table is not reset). Never null.
    const char* intern(std::string_view name);
    // Names that did not fit into the symbol table.
    size_t ownCount() const { return m_own.size(); }

private:
    // An open-addressing hash table over the interned names, looked up without building
    // a string: a document has few distinct names and repeats them all the time.
    struct Slot {
        const char* name = nullptr;
        size_t length = 0;
        size_t hash = 0;
    };
    const char* store(std::string_view name);
    void grow();

    bool m_useTable;
    std::vector<Slot> m_slots;
    size_t m_count = 0;
    std::deque<std::string> m_own;
};

} // namespace ostrel_xml

#endif
