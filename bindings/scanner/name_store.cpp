#include "scanner/name_store.h"

#include <ostrelbase/symboltable.h>

namespace ostrel_xml {

namespace {
constexpr int kTableEntries = 49999;
}

const char* NameStore::intern(const std::string& name) {
    auto found = m_map.find(name);
    if (found != m_map.end()) return found->second;
    const char* stored = nullptr;
    if (m_useTable && SymbolGetCount() < kTableEntries) {
        // A failure (pool full, name too long) falls back for this name only.
        int index = SymbolInsert(name.c_str(), kNameToken);
        if (index > 0) stored = SymbolGetEntry(index);
    }
    if (!stored) {
        m_own.push_back(name);
        stored = m_own.back().c_str();
    }
    m_map.emplace(name, stored);
    return stored;
}

} // namespace ostrel_xml
