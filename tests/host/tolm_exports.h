// The nine exports of the library, bound by name as the program binds them.
#pragma once

#include <string>

#include "shared_library.h"
#include "tolm.h"

namespace tolm::host {

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

// Binds all nine or none: on a missing export, returns its name and leaves
// exports untouched; on success, returns an empty string.
std::string BindExports(const SharedLibrary& library, TolmExports& exports);

}  // namespace tolm::host
