/* The symbol table used from C: the header must compile as C and link undecorated. */
#ifdef __cplusplus
#error "this file checks the header as C"
#endif

#include <ostrelbase/symboltable.h>

#include <string.h>

/* 0 when a C caller can intern, associate and resolve through the association; else 1. */
int ostrel_c_symbol_roundtrip(void) {
    int name;
    SymbolResetTable();
    SymbolResolveEntities(1);
    name = SymbolInsert("c", 0);
    SymbolAssociate(name, SymbolInsert("&#67;", 3));
    if (strcmp(SymbolGetEntry(SymbolInsert("x&c;", 0)), "xC") != 0) return 1;
    return SymbolResetTable();
}
