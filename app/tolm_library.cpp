#include "tolm_library.h"

#include <windows.h>

#include "dll_info.h"
#include "framework/wnd.h"

namespace {

// Process-wide, as the library's own state is: one binding per loaded library.
HMODULE g_module = nullptr;
TolmFunctions g_functions;

template <class Function>
bool Bind(HMODULE module, const char* name, Function& slot) {
    slot = reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    return slot != nullptr;
}

}  // namespace

bool LoadTolmLibrary() {
    if (g_module != nullptr) return false;
    const HMODULE module = ::LoadLibraryA(kTolmFileName);
    if (module == nullptr) return false;
    TolmFunctions found;
    const bool complete =
        Bind(module, "TOLM_GetResponse", found.TOLM_GetResponse) &&
        Bind(module, "TOLM_GetInvPswdMacId", found.TOLM_GetInvPswdMacId) &&
        Bind(module, "TOLM_RemoveFirstInvPswdMacId", found.TOLM_RemoveFirstInvPswdMacId) &&
        Bind(module, "TOLM_Start", found.TOLM_Start) &&
        Bind(module, "TOLM_Stop", found.TOLM_Stop) &&
        Bind(module, "TOLM_SendModuleScan", found.TOLM_SendModuleScan) &&
        Bind(module, "TOLM_SendConfigure", found.TOLM_SendConfigure) &&
        Bind(module, "TOLM_RegisterCallBack", found.TOLM_RegisterCallBack) &&
        Bind(module, "DllGetVersion", found.DllGetVersion);
    if (!complete) {
        ::FreeLibrary(module);
        return false;
    }
    Bind(module, "TOLM_GetSocketStatus", found.TOLM_GetSocketStatus);
    g_module = module;
    g_functions = found;
    return true;
}

bool FreeTolmLibrary() {
    if (g_module == nullptr) return false;
    const bool freed = ::FreeLibrary(g_module) != FALSE;
    g_module = nullptr;
    g_functions = TolmFunctions{};
    return freed;
}

const TolmFunctions& Tolm() {
    return g_functions;
}

bool IsTolmLibraryBound() {
    return g_module != nullptr;
}

bool CheckAndLoadTolmLibrary(const CWnd& owner) {
    CDllInfo info;
    int first = 0;
    int second = 0;
    int third = 0;
    if (!info.GetFileVersionNumbers(kTolmFileName, first, second, third) ||
        !IsAcceptedTolmVersion(first, second)) {
        owner.MessageBox("Incorrect TOLM.DLL version", "Warning", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!LoadTolmLibrary()) {
        owner.MessageBox("Error loading TOLM.DLL", "Error", MB_OK | MB_ICONSTOP);
        return false;
    }
    return true;
}
