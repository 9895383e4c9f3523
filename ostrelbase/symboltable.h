// The symbol table of generated scanners: interned strings with token codes and
// associations. Plain C functions with undecorated names; this header compiles as C
// (C99) and as C++. Process-wide fixed storage for 49,999 entries and 50,000 bytes of
// strings (terminators included). Nothing here allocates or throws: failures give -1,
// 0 or a null pointer and leave a message for SymbolGetLastError. One thread at a time.
//
// An entity is a name entry associated with its text entry. While resolution is on,
// SymbolInsert replaces in its text: "&name;" by the entity's text (not scanned again;
// "&%name;" gets one space on each side), "&#n;" and "&#xh;" by that character, or by
// "\xHH" escapes for codes below 32 or from 127 (two for codes above 255). "&#38;"
// reads what follows it as a new reference. Texts and results are limited to 31,999
// characters.
#ifndef OSTREL_SYMBOLTABLE_H
#define OSTREL_SYMBOLTABLE_H

#include <ostrelbase/ostrelexport.h>

#ifdef __cplusplus
extern "C" {
#endif

// Index of the newest entry equal to lexeme, byte for byte and unresolved; 0 for none or null.
OSTREL_API int SymbolLookup(const char* lexeme);
// Appends lexeme (resolved while resolution is on) with token and returns its index;
// -1 when lexeme is null, a reference fails, or the table or pool is full.
OSTREL_API int SymbolInsert(const char* lexeme, int token);
// Links entry index to entry associatedIndex; nothing when either is outside 0 to 49,999.
OSTREL_API void SymbolAssociate(int index, int associatedIndex);
// String of entry index (1 to count); null for 0, null and a message for other indices.
OSTREL_API const char* SymbolGetEntry(int index);
// Association of entry index; 0 for none and for an index outside 0 to 49,999.
OSTREL_API int SymbolGetAssociatedIndex(int index);
// String of the entry that entry index is associated with; null for none or out of range.
OSTREL_API const char* SymbolGetAssociatedVal(int index);
// Token of entry index; 0 for an index outside 0 to 49,999.
OSTREL_API int SymbolGetToken(int index);
// Number of entries, which is also the index of the newest one.
OSTREL_API int SymbolGetCount(void);
// Empties the table; the resolution switch and the last error stay. Always 0.
OSTREL_API int SymbolResetTable(void);
// Nonzero switches reference resolution on, 0 off; it is on at start.
OSTREL_API void SymbolResolveEntities(int on);
// The message of the latest failure (a success leaves it); empty at start, never null.
OSTREL_API const char* SymbolGetLastError(void);
// Prints a heading and one row per entry (index, token, string, association) to stdout.
OSTREL_API void SymbolPrintTable(void);

#ifdef __cplusplus
}
#endif

#endif
