// The module's load entry on Windows. The module keeps no global state, so loading and unloading
// need nothing of its own; it starts no threads and wants no call for each thread that another
// part of the host starts or ends.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE hModule, DWORD dwReason, LPVOID /*pReserved*/) {
    if (dwReason == DLL_PROCESS_ATTACH)
        DisableThreadLibraryCalls(hModule);
    return TRUE;
}
