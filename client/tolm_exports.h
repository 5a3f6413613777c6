// The nine exports of the library, bound by name as the program binds them.
#pragma once

#include <string>

#include "shared_library.h"
#include "tolm.h"
#include "tolm_ext.h"

namespace tolm::client {

struct TolmExports {
    TOLM_GetResponseFn get_response = nullptr;
    TOLM_GetInvPswdMacIdFn get_inv_pswd_mac_id = nullptr;
    TOLM_RemoveFirstInvPswdMacIdFn remove_first_inv_pswd_mac_id = nullptr;
    TOLM_StartFn start = nullptr;
    TOLM_SendModuleScanFn send_module_scan = nullptr;
    TOLM_SendConfigureFn send_configure = nullptr;
    TOLM_RegisterCallBackFn register_callback = nullptr;
    TOLM_DllGetVersionFn dll_get_version = nullptr;
    TOLM_StopFn stop = nullptr;
    // Extensions: null where the library lacks them.
    TOLM_GetSocketStatusFn get_socket_status = nullptr;
    TOLM_GetAdaptersFn get_adapters = nullptr;
    TOLM_SendModuleScanViaFn send_module_scan_via = nullptr;
    TOLM_SendConfigureViaFn send_configure_via = nullptr;
    TOLM_GetResponseWithOriginFn get_response_with_origin = nullptr;
    TOLM_GetReplyWithOriginFn get_reply_with_origin = nullptr;
    TOLM_GetDropCountsFn get_drop_counts = nullptr;
    TOLM_SendModuleScanViaIndexFn send_module_scan_via_index = nullptr;
    TOLM_SendConfigureViaIndexFn send_configure_via_index = nullptr;
};

// Loads the library (its socket opens now) and binds all nine exports, or
// none, and the extensions it has: empty on success; else why not ("cannot load PATH: ..." or
// "missing export NAME..."), with the library closed and exports untouched.
std::string LoadTolm(const std::string& path, SharedLibrary& library, TolmExports& exports);

}  // namespace tolm::client
