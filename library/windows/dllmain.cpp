// The loader's entry into the library: the socket lives as long as the
// library is loaded.
#include <windows.h>

#include "engine/engine.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            DisableThreadLibraryCalls(instance);
            tolm::engine::OpenSocket();
            break;
        case DLL_PROCESS_DETACH:
            // At process exit (reserved non-null) the other threads are already
            // gone and the system reclaims the socket; only FreeLibrary cleans up.
            if (reserved == nullptr) tolm::engine::Unload();
            break;
        default:
            break;
    }
    return TRUE;
}
