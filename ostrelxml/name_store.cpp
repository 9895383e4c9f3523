#include "ostrelxml/name_store.h"

#include "ostrelxml/bytes.h"

#include <ostrelbase/symboltable.h>

namespace ostrel_xml {

namespace {

constexpr int kTableEntries = 49999;

size_t hashOf(std::string_view name) { return hashBytes(name.data(), name.size()); }

} // namespace

const char* NameStore::intern(std::string_view name) {
    const size_t hash = hashOf(name);
    if (!m_slots.empty()) {
        const size_t mask = m_slots.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& slot = m_slots[i];
            if (!slot.name) break;
            if (slot.hash == hash && slot.length == name.size() &&
                sameBytes(slot.name, name.data(), name.size()))
                return slot.name;
        }
    }
    // Kept at most half full, so a probe always ends at an empty slot.
    if (2 * (m_count + 1) > m_slots.size()) grow();
    const char* stored = store(name);
    const size_t mask = m_slots.size() - 1;
    size_t i = hash & mask;
    while (m_slots[i].name) i = (i + 1) & mask;
    m_slots[i] = Slot{stored, name.size(), hash};
    ++m_count;
    return stored;
}

const char* NameStore::store(std::string_view name) {
    if (m_useTable && SymbolGetCount() < kTableEntries) {
        // A failure (pool full, name too long) falls back for this name only.
        const std::string text(name);
        int index = SymbolInsert(text.c_str(), kNameToken);
        if (index > 0) return SymbolGetEntry(index);
    }
    m_own.emplace_back(name);
    return m_own.back().c_str();
}

void NameStore::grow() {
    std::vector<Slot> old;
    old.swap(m_slots);
    m_slots.resize(old.empty() ? 64 : 2 * old.size());
    const size_t mask = m_slots.size() - 1;
    for (const Slot& slot : old) {
        if (!slot.name) continue;
        size_t i = slot.hash & mask;
        while (m_slots[i].name) i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}

} // namespace ostrel_xml
