// Interns arbitrary bytes over a table seeded with entities (some defined through others
// and through character references), with resolution on or off, and checks what a caller
// relies on after each insertion. Every input starts from the same seeded table, so a
// crash reproduces from its input alone.
//
// Input: byte 0 holds switches, then NUL-separated texts.
//   bit 0    resolution on while the texts are inserted
//   bit 1    the first two texts define an entity (name, text) before the others
//   bit 2    the pool is filled first, leaving byte 1 (times 8) bytes free
#include "fuzz_importers.h"

#include <ostrelbase/symboltable.h>

#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kPool = 50000;
constexpr std::size_t kLongestText = 31999;

// A text may be long and binary: a fault names its size only.
[[noreturn]] void fault(const char* what, const std::string& text) {
    ostrel_fuzz::fault(what, "(text of " + std::to_string(text.size()) + " bytes)");
}

void define(const char* name, const char* text) {
    const int n = SymbolInsert(name, 0);
    const int t = SymbolInsert(text, 0);
    if (n > 0 && t > 0) SymbolAssociate(n, t);
}

// The table an importer leaves after seeding a document's entities: some defined through
// others and through character references ("amp38": '&' from one starts a reference),
// "amp" itself unresolved.
void seed() {
    static const char* const entities[][2] = {
        {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"copy", "&#169;"},
        {"co", "Acme &lt;Ltd&gt;"}, {"twice", "&co;&co;"}, {"amp38", "&#38;lt;"},
        {"%pe", "param"}, {"ctl", "&#1;&#127;&#65535;"}};
    SymbolResetTable();
    SymbolResolveEntities(1);
    for (const auto& e : entities) define(e[0], e[1]);
    SymbolResolveEntities(0);
    define("amp", "&");
    SymbolResolveEntities(1);
}

std::string newest() {
    const char* s = SymbolGetCount() > 0 ? SymbolGetEntry(SymbolGetCount()) : "";
    return s ? s : "(null)";
}

// What a caller relies on after an insertion; a failed one must leave the table alone.
void insertChecked(const std::string& text, int token, bool resolve) {
    const int count = SymbolGetCount();
    const std::string before = newest();
    const int index = SymbolInsert(text.c_str(), token);
    if (index < 0) {
        if (index != -1 || SymbolGetCount() != count || newest() != before)
            fault("a failure other than -1, or one that changed the table", text);
        return;
    }
    const char* stored = SymbolGetEntry(index);
    if (index != count + 1 || SymbolGetCount() != index || stored == nullptr ||
        SymbolLookup(stored) != index || SymbolGetToken(index) != token || SymbolGetAssociatedIndex(index) != 0)
        fault("the new entry is not the last, found by lookup, with its token and no association", text);
    if (resolve && std::strlen(stored) > kLongestText) fault("a resolved text over its limit", text);
    if ((!resolve || text.find('&') == std::string::npos) && text != stored)
        fault("a text without references was changed", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const unsigned flags = data[0];
    const bool resolve = flags & 1;
    seed();

    std::vector<std::string> texts;
    const std::string all(reinterpret_cast<const char*>(data + 2), size - 2);
    std::istringstream in(all);
    for (std::string text; texts.size() < 64 && std::getline(in, text, '\0');) texts.push_back(text);
    if (texts.size() < 64 && (all.empty() || all.back() == '\0')) texts.emplace_back();  // the empty last

    std::size_t first = 0;
    if ((flags & 2) && texts.size() >= 2) {
        define(texts[0].c_str(), texts[1].c_str());
        first = 2;
    }
    if (flags & 4) {
        // One long unresolved string takes the pool up to the wanted free space.
        const std::size_t free = 8u * data[1];
        std::size_t used = 0;
        for (int i = 1; i <= SymbolGetCount(); ++i) used += std::strlen(SymbolGetEntry(i)) + 1;
        if (used + free + 1 < kPool) {
            SymbolResolveEntities(0);
            insertChecked(std::string(kPool - used - free - 1, 'p'), 7, false);
        }
    }

    SymbolResolveEntities(resolve ? 1 : 0);
    for (std::size_t i = first; i < texts.size(); ++i)
        insertChecked(texts[i], static_cast<int>(i), resolve);

    // The functions without a range test, at indices the input picks.
    const int wild = static_cast<int>(size * 2654435761u);
    SymbolAssociate(wild, SymbolGetCount());
    SymbolGetAssociatedVal(wild);
    SymbolGetAssociatedIndex(-wild);
    SymbolGetToken(wild);
    SymbolGetEntry(wild);
    if (std::strlen(SymbolGetLastError()) > 1023) fault("message over its buffer", all);
    SymbolResolveEntities(1);
    return 0;
}
