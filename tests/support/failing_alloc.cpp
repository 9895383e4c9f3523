#include "failing_alloc.h"

#include <cstdlib>
#include <new>

namespace {
int g_countdown = 0;     // non-throwing allocations only
int g_anyCountdown = 0;  // every allocation
bool g_anyFailed = false;

// Counts one allocation of any form down; true when it is the one to fail.
bool failThisOne() {
    if (g_anyCountdown > 0 && --g_anyCountdown == 0) {
        g_anyFailed = true;
        return true;
    }
    return false;
}
} // namespace

#ifdef _WIN32
// A DLL binds operator new to the C++ runtime DLL, not to the replacement in this
// program. The library DLL's imports of both forms of operator new are therefore
// pointed at the replacements below, so that its allocations fail on request too.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace {

void* (*const g_nothrowNew)(std::size_t, const std::nothrow_t&) noexcept = &::operator new;
void* (*const g_throwingNew)(std::size_t) = &::operator new;

// Number of import slots of the module named name that now lead to replacement.
int redirectImport(HMODULE module, const char* importName, ULONG_PTR replacement) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0) return 0;
    int redirected = 0;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         imp->Name != 0; ++imp) {
        if (imp->OriginalFirstThunk == 0) continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            const char* name = reinterpret_cast<const char*>(byName->Name);
            if (std::strcmp(name, importName) != 0) continue;
            ULONG_PTR* slot = &slots->u1.Function;
            DWORD old = 0;
            if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) continue;
            *slot = replacement;
            VirtualProtect(slot, sizeof *slot, old, &old);
            ++redirected;
        }
    }
    return redirected;
}

// Redirects once, in each library DLL the program has loaded (ostrelbase.dll always;
// ostrelxml.dll, where the reader and the bindings' runtime allocate, when linked);
// throwing says whether the throwing form must be redirected too.
void redirectLibraryOnce(bool throwing) {
    static int nothrowSlots = -1, throwingSlots = -1;
    if (nothrowSlots < 0) {
        nothrowSlots = 0;
        throwingSlots = 0;
        bool base = false;
        for (const char* dll : {"ostrelbase.dll", "ostrelxml.dll"}) {
            HMODULE library = GetModuleHandleA(dll);
            if (!library) continue;
            base = base || std::strcmp(dll, "ostrelbase.dll") == 0;
            // operator new(std::size_t, const std::nothrow_t&) and operator new(std::size_t)
            nothrowSlots += redirectImport(library, "_ZnwyRKSt9nothrow_t",
                                           reinterpret_cast<ULONG_PTR>(g_nothrowNew));
            throwingSlots += redirectImport(library, "_Znwy",
                                            reinterpret_cast<ULONG_PTR>(g_throwingNew));
        }
        if (!base) nothrowSlots = 0;
    }
    if (nothrowSlots == 0 || (throwing && throwingSlots == 0)) {
        std::fprintf(stderr, "failing_alloc: cannot redirect operator new of ostrelbase.dll; "
                             "allocation failures cannot be simulated\n");
        std::abort();
    }
}

} // namespace
#endif

namespace ostrel_test {
void failNthNothrowAllocation(int n) {
#ifdef _WIN32
    redirectLibraryOnce(false);
#endif
    g_countdown = n;
}

void failNthAllocation(int n) {
#ifdef _WIN32
    redirectLibraryOnce(true);
#endif
    g_anyFailed = false;
    g_anyCountdown = n;
}

bool disarmAllocationFailure() {
    g_anyCountdown = 0;
    return g_anyFailed;
}
} // namespace ostrel_test

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    // Both countdowns see this allocation.
    const bool any = failThisOne();
    if ((g_countdown > 0 && --g_countdown == 0) || any) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

// Everything else must pair with the malloc above.
void* operator new(std::size_t size) {
    if (failThisOne()) throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
