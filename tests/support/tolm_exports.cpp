#include "tolm_exports.h"

namespace tolm::support {

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
    Bind(library, "TOLM_GetResponse", bound.getResponse, missing);
    Bind(library, "TOLM_GetInvPswdMacId", bound.getInvPswdMacId, missing);
    Bind(library, "TOLM_RemoveFirstInvPswdMacId", bound.removeFirstInvPswdMacId, missing);
    Bind(library, "TOLM_Start", bound.start, missing);
    Bind(library, "TOLM_SendModuleScan", bound.sendModuleScan, missing);
    Bind(library, "TOLM_SendConfigure", bound.sendConfigure, missing);
    Bind(library, "TOLM_RegisterCallBack", bound.registerCallBack, missing);
    Bind(library, "DllGetVersion", bound.dllGetVersion, missing);
    Bind(library, "TOLM_Stop", bound.stop, missing);
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

}  // namespace tolm::support
