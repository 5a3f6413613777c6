#include "tolm_exports.h"

namespace tolm::client {

namespace {

template <typename Function>
void Bind(const SharedLibrary& library, const char* name, Function& slot, std::string& missing) {
    // Symbol returns a generic pointer; each export has its own type.
    slot = reinterpret_cast<Function>(library.Symbol(name));
    if (slot == nullptr) missing += std::string(missing.empty() ? "" : " ") + name;
}

// On a missing export, returns the names of all that are missing.
std::string BindExports(const SharedLibrary& library, TolmExports& exports) {
    TolmExports bound;
    std::string missing;
    Bind(library, "TOLM_GetResponse", bound.get_response, missing);
    Bind(library, "TOLM_GetInvPswdMacId", bound.get_inv_pswd_mac_id, missing);
    Bind(library, "TOLM_RemoveFirstInvPswdMacId", bound.remove_first_inv_pswd_mac_id, missing);
    Bind(library, "TOLM_Start", bound.start, missing);
    Bind(library, "TOLM_SendModuleScan", bound.send_module_scan, missing);
    Bind(library, "TOLM_SendConfigure", bound.send_configure, missing);
    Bind(library, "TOLM_RegisterCallBack", bound.register_callback, missing);
    Bind(library, "DllGetVersion", bound.dll_get_version, missing);
    Bind(library, "TOLM_Stop", bound.stop, missing);
    std::string absent_extensions;
    Bind(library, "TOLM_GetSocketStatus", bound.get_socket_status, absent_extensions);
    Bind(library, "TOLM_GetAdapters", bound.get_adapters, absent_extensions);
    Bind(library, "TOLM_SendModuleScanVia", bound.send_module_scan_via, absent_extensions);
    Bind(library, "TOLM_SendConfigureVia", bound.send_configure_via, absent_extensions);
    Bind(library, "TOLM_GetResponseWithOrigin", bound.get_response_with_origin, absent_extensions);
    Bind(library, "TOLM_GetReplyWithOrigin", bound.get_reply_with_origin, absent_extensions);
    Bind(library, "TOLM_GetDropCounts", bound.get_drop_counts, absent_extensions);
    Bind(library, "TOLM_SendModuleScanViaIndex", bound.send_module_scan_via_index,
         absent_extensions);
    Bind(library, "TOLM_SendConfigureViaIndex", bound.send_configure_via_index, absent_extensions);
    if (missing.empty()) exports = bound;
    return missing;
}

}  // namespace

std::string LoadTolm(const std::string& path, SharedLibrary& library, TolmExports& exports) {
    if (!library.Open(path)) return "cannot load " + path + ": " + library.LastError();
    const std::string missing = BindExports(library, exports);
    if (missing.empty()) return {};
    library.Close();
    return "missing export " + missing;
}

}  // namespace tolm::client
