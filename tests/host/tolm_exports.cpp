#include "tolm_exports.h"

namespace tolm::host {

namespace {

template <typename Fn>
bool Bind(const SharedLibrary& library, const char* name, Fn& slot, std::string& missing) {
    void* address = library.Symbol(name);
    if (address == nullptr) {
        if (missing.empty()) missing = name;
        return false;
    }
    slot = reinterpret_cast<Fn>(address);
    return true;
}

}  // namespace

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

}  // namespace tolm::host
