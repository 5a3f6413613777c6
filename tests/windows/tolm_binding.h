// tolm.dll loaded by file name and its nine exports bound by name, the way
// a host that ships beside the library does it.
#pragma once

#include <windows.h>

#include <string>

#include "tolm.h"

namespace tolm::windows_test {

struct TolmBinding {
    HMODULE module = nullptr;
    TOLM_GetResponseFn GetResponse = nullptr;
    TOLM_GetInvPswdMacIdFn GetInvPswdMacId = nullptr;
    TOLM_RemoveFirstInvPswdMacIdFn RemoveFirstInvPswdMacId = nullptr;
    TOLM_StartFn Start = nullptr;
    TOLM_SendModuleScanFn SendModuleScan = nullptr;
    TOLM_SendConfigureFn SendConfigure = nullptr;
    TOLM_RegisterCallBackFn RegisterCallBack = nullptr;
    TOLM_DllGetVersionFn DllGetVersion = nullptr;
    TOLM_StopFn Stop = nullptr;
};

// Loads "tolm.dll" and binds all nine; on failure says what is missing and
// leaves nothing loaded.
bool LoadTolm(TolmBinding* binding, std::string* missing);

}  // namespace tolm::windows_test
