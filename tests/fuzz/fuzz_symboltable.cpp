// Interns arbitrary bytes over a table seeded with entities, with resolution on or off.
#include <ostrelbase/symboltable.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

void define(const char* name, const char* text) {
    const int n = SymbolInsert(name, 0);
    const int t = SymbolInsert(text, 0);
    if (n > 0 && t > 0) SymbolAssociate(n, t);
}

void seed() {
    SymbolResetTable();
    SymbolResolveEntities(1);
    define("lt", "<");
    define("gt", ">");
    define("quot", "\"");
    define("apos", "'");
    define("copy", "&#169;");        // a character reference inside a definition
    define("co", "Acme &lt;Ltd&gt;");  // defined in terms of others
    define("%pe", "param");
    SymbolResolveEntities(0);
    define("amp", "&");
    SymbolResolveEntities(1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // First byte: resolution switch and how many copies to insert (to fill the pool).
    const bool resolve = data[0] & 1;
    const int copies = 1 + ((data[0] >> 1) & 7);
    static bool seeded = false;
    if (!seeded || (data[0] & 0x80)) {
        seed();
        seeded = true;
    }
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    SymbolResolveEntities(resolve ? 1 : 0);
    for (int i = 0; i < copies; ++i) {
        const int before = SymbolGetCount();
        const int index = SymbolInsert(text.c_str(), i);
        if (index > 0) {
            const char* stored = SymbolGetEntry(index);
            if (stored == nullptr || SymbolLookup(stored) != index) __builtin_trap();
        } else if (SymbolGetCount() != before) {
            __builtin_trap();  // a failed insertion must leave the table as it was
        }
    }
    SymbolGetAssociatedVal(static_cast<int>(size) - 25000);
    SymbolGetToken(static_cast<int>(size) * 7919);
    if (std::strlen(SymbolGetLastError()) > 1023) __builtin_trap();
    SymbolResolveEntities(1);
    return 0;
}
