// Entry point of ostrelbase.dll. Its only per-thread state, the pools' free lists, is
// handed back by a thread_local destructor and bounded in size, so it asks not to be
// called for every thread start and exit; its static objects need nothing else.
#ifdef _WIN32

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason, LPVOID /*lpvReserved*/) {
    if (fdwReason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(hinstDLL);
    return TRUE;
}

#endif
