#include "tolm_library.h"

#include <windows.h>

#include "dll_info.h"
#include "framework/wnd.h"
#include "shared_library.h"
#include "tolm_exports.h"

namespace {

// Process-wide, as the library's own state is: one binding per loaded library.
// Never destroyed: a library left loaded is unloaded by the process's end,
// not by a static destructor running before it.
tolm::client::SharedLibrary& g_library = *new tolm::client::SharedLibrary;
TolmFunctions g_functions;

TolmFunctions Named(const tolm::client::TolmExports& exports) {
    TolmFunctions f;
    f.TOLM_GetResponse = exports.get_response;
    f.TOLM_GetInvPswdMacId = exports.get_inv_pswd_mac_id;
    f.TOLM_RemoveFirstInvPswdMacId = exports.remove_first_inv_pswd_mac_id;
    f.TOLM_Start = exports.start;
    f.TOLM_Stop = exports.stop;
    f.TOLM_SendModuleScan = exports.send_module_scan;
    f.TOLM_SendConfigure = exports.send_configure;
    f.TOLM_RegisterCallBack = exports.register_callback;
    f.DllGetVersion = exports.dll_get_version;
    f.TOLM_GetSocketStatus = exports.get_socket_status;
    f.TOLM_GetAdapters = exports.get_adapters;
    f.TOLM_GetResponseWithOrigin = exports.get_response_with_origin;
    f.TOLM_GetReplyWithOrigin = exports.get_reply_with_origin;
    f.TOLM_GetDropCounts = exports.get_drop_counts;
    return f;
}

}  // namespace

bool LoadTolmLibrary() {
    if (g_library.IsOpen()) return false;
    tolm::client::TolmExports exports;
    if (!tolm::client::LoadTolm(kTolmFileName, g_library, exports).empty()) return false;
    g_functions = Named(exports);
    return true;
}

bool FreeTolmLibrary() {
    if (!g_library.IsOpen()) return false;
    g_functions = TolmFunctions{};
    return g_library.Close();
}

const TolmFunctions& Tolm() {
    return g_functions;
}

bool IsTolmLibraryBound() {
    return g_library.IsOpen();
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
