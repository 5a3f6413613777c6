// The nine exports of the library, bound by name as the program binds them.
#pragma once

#include <string>

#include "shared_library.h"
#include "tolm.h"

namespace tolm::support {

struct TolmExports {
    TOLM_GetResponseFn getResponse = nullptr;
    TOLM_GetInvPswdMacIdFn getInvPswdMacId = nullptr;
    TOLM_RemoveFirstInvPswdMacIdFn removeFirstInvPswdMacId = nullptr;
    TOLM_StartFn start = nullptr;
    TOLM_SendModuleScanFn sendModuleScan = nullptr;
    TOLM_SendConfigureFn sendConfigure = nullptr;
    TOLM_RegisterCallBackFn registerCallBack = nullptr;
    TOLM_DllGetVersionFn dllGetVersion = nullptr;
    TOLM_StopFn stop = nullptr;
};

// Loads the library (its socket opens now) and binds all nine exports, or
// none: empty on success; else why not ("cannot load PATH: ..." or "missing
// export NAME..."), with the library closed and exports untouched.
std::string LoadTolm(const std::string& path, SharedLibrary& library, TolmExports& exports);

}  // namespace tolm::support
