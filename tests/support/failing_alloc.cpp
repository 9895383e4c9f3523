#include "failing_alloc.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
int g_countdown = 0;
// Atomic: the library's own threads allocate and free too.
std::atomic<long> g_allocations{0}, g_live{0};
bool g_nothrowOnly = false, g_failed = false;

// Counts an allocation, and down when it is of the form armed; true when it is the one to fail.
bool failThisOne(bool nothrow) {
    ++g_allocations;
    return g_countdown > 0 && (nothrow || !g_nothrowOnly) && --g_countdown == 0 && (g_failed = true);
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

// Points the import slots named importName of module at replacement; how many it found.
int redirectImport(HMODULE module, const char* importName, ULONG_PTR replacement) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    int redirected = 0;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports);
         imports != 0 && imp->Name != 0; ++imp) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; imp->OriginalFirstThunk != 0 && names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            DWORD old = 0;
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), importName) != 0 ||
                !VirtualProtect(&slots->u1.Function, sizeof(ULONG_PTR), PAGE_READWRITE, &old))
                continue;
            slots->u1.Function = replacement;
            VirtualProtect(&slots->u1.Function, sizeof(ULONG_PTR), old, &old);
            ++redirected;
        }
    }
    return redirected;
}

// Redirects once, in each library DLL the program has loaded (ostrelbase.dll always;
// ostrelxml.dll, where the reader and the bindings' runtime allocate, when linked);
// throwing says whether the throwing form must be redirected too.
void redirectLibraryOnce(bool throwing) {
    static int nothrowSlots = -1, throwingSlots = 0;
    if (nothrowSlots < 0) {
        nothrowSlots = 0;
        for (const char* dll : {"ostrelbase.dll", "ostrelxml.dll"}) {
            HMODULE library = GetModuleHandleA(dll);
            if (!library) continue;  // ostrelbase.dll missing shows in the count below
            // operator new(std::size_t, const std::nothrow_t&) and operator new(std::size_t)
            nothrowSlots += redirectImport(library, "_ZnwyRKSt9nothrow_t",
                                           reinterpret_cast<ULONG_PTR>(g_nothrowNew));
            throwingSlots += redirectImport(library, "_Znwy",
                                            reinterpret_cast<ULONG_PTR>(g_throwingNew));
        }
    }
    if (nothrowSlots == 0 || (throwing && throwingSlots == 0)) {
        std::fprintf(stderr, "failing_alloc: cannot redirect operator new of ostrelbase.dll; "
                             "allocation failures cannot be simulated\n");
        std::abort();
    }
}

} // namespace
#else
static void redirectLibraryOnce(bool) {}
#endif

namespace ostrel_test {
void failNthNothrowAllocation(int n) {
    redirectLibraryOnce(false);
    g_nothrowOnly = true;
    g_countdown = n;
}

void failNthAllocation(int n) {
    redirectLibraryOnce(true);
    g_nothrowOnly = g_failed = false;
    g_countdown = n;
}

bool disarmAllocationFailure() {
    g_countdown = 0;
    return g_failed;
}

long allocationCount() { return g_allocations; }
long liveAllocations() { return g_live; }
} // namespace ostrel_test

namespace {
void* counted(void* p) {
    g_live += p != nullptr;
    return p;
}
void release(void* p) {
    g_live -= p != nullptr;
    std::free(p);
}
} // namespace

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return failThisOne(true) ? nullptr : counted(std::malloc(size == 0 ? 1 : size));
}

void operator delete(void* p, const std::nothrow_t&) noexcept { release(p); }

// Everything else must pair with the malloc above.
void* operator new(std::size_t size) {
    if (failThisOne(false)) throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return counted(p);
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
