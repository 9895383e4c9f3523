// The symbol table: fixed static storage, interning, and reference resolution.
#include <ostrelbase/symboltable.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct SymbolEntry {
    char* lexeme;
    int token;
    int associatedIndex;
};

constexpr int kTableSize = 50000;
constexpr int kPoolSize = 50000;
constexpr int kTextSize = 32000;
constexpr int kMessageSize = 1024;

// All of it is constant-initialized: usable from any static initializer.
SymbolEntry symbolTable[kTableSize];
char lexemes[kPoolSize];
int lastLexemeIndex = -1;
int symbolCount = 0;
int resolveEntities = 1;
char lastError[kMessageSize];
char resolvedText[kTextSize];
char scanText[kTextSize];

bool inTable(int index) { return index >= 0 && index < kTableSize; }

// Lookup index: per hash bucket a chain of entries, newest first, that holds only the
// newest entry of each distinct string (an older equal entry can never be the answer).
// Lookups and insertions cost the few distinct strings of one bucket, not the table.
constexpr unsigned kBuckets = 1u << 16;
int bucketHead[kBuckets];
int olderInBucket[kTableSize];

unsigned bucketOf(const char* text) {
    std::uint32_t hash = 2166136261u;
    for (; *text != '\0'; ++text) hash = (hash ^ static_cast<unsigned char>(*text)) * 16777619u;
    return (hash ^ (hash >> 16)) & (kBuckets - 1);
}

// The newest entry equal to text in its bucket's chain, or 0; with unlink, that entry
// leaves the chain (a newer equal one is about to take its place).
int findInBucket(unsigned bucket, const char* text, bool unlink) {
    int* link = &bucketHead[bucket];
    for (int i = *link; i != 0; link = &olderInBucket[i], i = *link) {
        if (std::strcmp(symbolTable[i].lexeme, text) == 0) {
            if (unlink) *link = olderInBucket[i];
            return i;
        }
    }
    return 0;
}

// Formats into a buffer of its own first, as an argument may be lastError itself;
// a message too long for lastError keeps its beginning.
#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void setError(const char* format, ...) {
    char message[kMessageSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    std::memcpy(lastError, message, std::strlen(message) + 1);
}

// The output of one resolution in resolvedText, refused once it would pass 31,999
// characters.
class Output {
public:
    bool append(const char* text, std::size_t length) {
        if (length > kTextSize - 1 - m_length) return false;
        std::memcpy(resolvedText + m_length, text, length);
        m_length += length;
        return true;
    }
    bool append(char c) { return append(&c, 1); }
    // "\xHH" for the low byte of code.
    bool appendEscape(unsigned long code) {
        char escape[5];
        std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(code & 255u));
        return append(escape, 4);
    }
    const char* finish() {
        resolvedText[m_length] = '\0';
        return resolvedText;
    }

private:
    std::size_t m_length = 0;
};

const char* outputTooLong() {
    setError("Error: Resolved text longer than %d characters\n", kTextSize - 1);
    return nullptr;
}

// text with its references replaced, in resolvedText; null with a message on failure.
const char* ResolveEntityReferences(const char* text) {
    std::size_t length = 0;
    while (length < kTextSize && text[length] != '\0') ++length;
    if (length == kTextSize) {
        setError("Error: Text to resolve longer than %d characters\n", kTextSize - 1);
        return nullptr;
    }
    std::memcpy(scanText, text, length + 1);

    Output out;
    bool rescan = false;
    std::size_t p = 0;
    while (scanText[p] != '\0') {
        if (scanText[p] != '&') {
            if (!out.append(scanText[p])) return outputTooLong();
            ++p;
            continue;
        }
        // The name: leading ';' skipped, up to the next ';' or the end. Cut by hand, so a
        // caller's strtok sequence is left alone.
        std::size_t start = p + 1;
        while (scanText[start] == ';') ++start;
        if (scanText[start] == '\0') {
            setError("Problem with entity reference %s", text);
            return nullptr;
        }
        std::size_t end = start;
        while (scanText[end] != '\0' && scanText[end] != ';') ++end;
        const bool closed = scanText[end] == ';';
        scanText[end] = '\0';
        const char* name = scanText + start;

        if (name[0] == '#') {
            const long code = name[1] == 'x' ? std::strtol(name + 2, nullptr, 16)
                                             : std::strtol(name + 1, nullptr, 10);
            bool fits = true;
            if (code < 32 || code >= 127) {
                if (code > 255) fits = out.appendEscape(static_cast<unsigned long>(code) >> 8);
                fits = fits && out.appendEscape(static_cast<unsigned long>(code));
            } else if (code == 38 && !rescan) {
                // The '&' starts a new reference in place of the ';'. Without a ';' there
                // is nothing behind it to name.
                if (!closed) {
                    setError("Problem with entity reference %s", text);
                    return nullptr;
                }
                rescan = true;
                scanText[end] = '&';
                p = end;
                continue;
            } else {
                fits = out.append(static_cast<char>(code));
            }
            if (!fits) return outputTooLong();
        } else {
            // A match without an association (a plain string or a replacement text that
            // equals the name) defines nothing.
            const int index = SymbolLookup(name);
            const char* replacement = index > 0 ? SymbolGetAssociatedVal(index) : nullptr;
            if (replacement == nullptr) {
                setError("Entity reference %s undefined", name);
                return nullptr;
            }
            const bool parameter = name[0] == '%';
            if ((parameter && !out.append(' ')) ||
                !out.append(replacement, std::strlen(replacement)) ||
                (parameter && !out.append(' ')))
                return outputTooLong();
        }
        rescan = false;
        if (!closed) break;
        p = end + 1;
    }
    return out.finish();
}

} // namespace

extern "C" {

int SymbolLookup(const char* lexeme) {
    if (lexeme == nullptr) return 0;
    return findInBucket(bucketOf(lexeme), lexeme, false);
}

int SymbolInsert(const char* lexeme, int token) {
    if (lexeme == nullptr) {
        setError("Error: SymbolInsert() called with a null lexeme\n");
        return -1;
    }
    const char* text = lexeme;
    if (resolveEntities) {
        text = ResolveEntityReferences(lexeme);
        if (text == nullptr) return -1;
    }
    const std::size_t length = std::strlen(text);
    if (symbolCount + 1 >= kTableSize) {
        setError("Error: Symbol table full\n");
        return -1;
    }
    const std::size_t used = static_cast<std::size_t>(lastLexemeIndex + 1);
    if (length >= kPoolSize - used) {
        setError("Error: Lexemes array full\n");
        return -1;
    }
    // memmove: an unresolved lexeme may be a pointer from before a reset, into the very
    // bytes it is copied to.
    char* target = lexemes + used;
    std::memmove(target, text, length + 1);
    ++symbolCount;
    symbolTable[symbolCount].lexeme = target;
    symbolTable[symbolCount].token = token;
    lastLexemeIndex += static_cast<int>(length) + 1;
    const unsigned bucket = bucketOf(target);
    findInBucket(bucket, target, true);
    olderInBucket[symbolCount] = bucketHead[bucket];
    bucketHead[bucket] = symbolCount;
    return symbolCount;
}

void SymbolAssociate(int index, int associatedIndex) {
    if (inTable(index) && inTable(associatedIndex))
        symbolTable[index].associatedIndex = associatedIndex;
}

const char* SymbolGetEntry(int index) {
    if (index < 0 || index > symbolCount) {
        setError("Error: Invalid symbol table index '%d'\n", index);
        return nullptr;
    }
    return symbolTable[index].lexeme;
}

int SymbolGetAssociatedIndex(int index) {
    return inTable(index) ? symbolTable[index].associatedIndex : 0;
}

const char* SymbolGetAssociatedVal(int index) {
    const int associated = SymbolGetAssociatedIndex(index);
    return inTable(associated) ? symbolTable[associated].lexeme : nullptr;
}

int SymbolGetToken(int index) { return inTable(index) ? symbolTable[index].token : 0; }

int SymbolGetCount(void) { return symbolCount; }

int SymbolResetTable(void) {
    std::memset(symbolTable, 0, sizeof symbolTable);
    std::memset(bucketHead, 0, sizeof bucketHead);
    lastLexemeIndex = -1;
    symbolCount = 0;
    return 0;
}

void SymbolResolveEntities(int on) { resolveEntities = on; }

const char* SymbolGetLastError(void) { return lastError; }

void SymbolPrintTable(void) {
    std::printf("\nFinal Symbol Table\n");
    std::printf("Index     Token     Symbol Name             Association\n");
    for (int i = 1; i <= symbolCount; ++i)
        std::printf("%3d     %3d      %20s       %d\n", i, symbolTable[i].token,
                    symbolTable[i].lexeme, symbolTable[i].associatedIndex);
}

} // extern "C"
