/* The symbol table used from C: the header must compile as C and link undecorated. */
#ifdef __cplusplus
#error "this file checks the header as C"
#endif

#include <ostrelbase/symboltable.h>

#include <string.h>

/* 0 when a C caller can intern, look up, associate and resolve; else the failed step. */
int ostrel_c_symbol_roundtrip(void) {
    int name, text;
    SymbolResetTable();
    SymbolResolveEntities(1);
    name = SymbolInsert("c", 0);
    text = SymbolInsert("&#67;", 3);
    if (name != 1 || text != 2) return 1;
    SymbolAssociate(name, text);
    if (strcmp(SymbolGetAssociatedVal(name), "C") != 0) return 2;
    if (SymbolLookup("C") != text || SymbolGetToken(text) != 3) return 3;
    if (SymbolGetAssociatedIndex(name) != text || SymbolGetCount() != 2) return 4;
    if (strcmp(SymbolGetEntry(SymbolInsert("x&c;", 0)), "xC") != 0) return 5;
    if (SymbolGetEntry(9) != NULL || SymbolGetLastError()[0] == '\0') return 6;
    return SymbolResetTable();
}
