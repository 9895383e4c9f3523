// Element and attribute names, each distinct name interned once: in the symbol table
// while it has room, in the scanner's own store after that.
#ifndef OSTRELXML_NAME_STORE_H
#define OSTRELXML_NAME_STORE_H

#include "ostrelxml/bytes.h"

#include <cstddef>
#include <cstdint>
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
    // intern for a name of length n >= 1 at p where 8 bytes from p on may be read: the
    // names seen last answer without a hash of the whole name.
    const char* internInPlace(const char* p, size_t n) {
        std::uint64_t word = load64(p);
        if (n < 8) word &= ~std::uint64_t{0} >> (64 - 8 * n);
        Recent& recent = m_recent[((word ^ n) * 0x9E3779B97F4A7C15ULL) >> 58];
        if (recent.length == n && recent.word == word &&
            (n <= 8 || sameBytes(recent.name + 8, p + 8, n - 8)))
            return recent.name;
        const char* name = intern(std::string_view(p, n));
        recent = Recent{name, n, word};
        return name;
    }
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

    // The names interned last, by their first eight bytes and length.
    struct Recent {
        const char* name = nullptr;
        size_t length = 0;
        std::uint64_t word = 0;
    };
    Recent m_recent[64];

    bool m_useTable;
    std::vector<Slot> m_slots;
    size_t m_count = 0;
    std::deque<std::string> m_own;
};

} // namespace ostrel_xml

#endif
