#include "failing_alloc.h"

#include <cstdlib>
#include <new>

namespace {
int g_countdown = 0;
}

#ifdef _WIN32
// A DLL binds operator new to the C++ runtime DLL, not to the replacement in this
// program. The library DLL's import of the non-throwing operator new is therefore
// pointed at the replacement below, so that its allocations fail on request too.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

void* (*const g_replacement)(std::size_t, const std::nothrow_t&) noexcept = &::operator new;

// Number of import slots of the module that now lead to the replacement.
int redirectNothrowNew(HMODULE module) {
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
            // operator new(std::size_t, const std::nothrow_t&)
            if (std::strcmp(name, "_ZnwyRKSt9nothrow_t") != 0) continue;
            ULONG_PTR* slot = &slots->u1.Function;
            DWORD old = 0;
            if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) continue;
            *slot = reinterpret_cast<ULONG_PTR>(g_replacement);
            VirtualProtect(slot, sizeof *slot, old, &old);
            ++redirected;
        }
    }
    return redirected;
}

void redirectLibraryOnce() {
    static const bool done = [] {
        HMODULE library = GetModuleHandleA("ostrelbase.dll");
        if (library == nullptr || redirectNothrowNew(library) == 0) {
            std::fprintf(stderr, "failing_alloc: cannot redirect the non-throwing operator new "
                                 "of ostrelbase.dll; allocation failures cannot be simulated\n");
            std::abort();
        }
        return true;
    }();
    (void)done;
}

} // namespace
#endif

namespace ostrel_test {
void failNthNothrowAllocation(int n) {
#ifdef _WIN32
    redirectLibraryOnce();
#endif
    g_countdown = n;
}
} // namespace ostrel_test

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (g_countdown > 0 && --g_countdown == 0) return nullptr;
    return std::malloc(size == 0 ? 1 : size);
}

void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

// Everything else must pair with the malloc above.
void* operator new(std::size_t size) {
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
