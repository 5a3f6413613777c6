// The binding of tolm.dll under the program's own names: the program loads
// the library by file name when its main window starts and finds the nine
// functions by name, all nine or none, through the host side's binding that
// every host uses.
#pragma once

#include "tolm.h"
#include "tolm_ext.h"

class CWnd;

struct TolmFunctions {
    TOLM_GetResponseFn TOLM_GetResponse = nullptr;
    TOLM_GetInvPswdMacIdFn TOLM_GetInvPswdMacId = nullptr;
    TOLM_RemoveFirstInvPswdMacIdFn TOLM_RemoveFirstInvPswdMacId = nullptr;
    TOLM_StartFn TOLM_Start = nullptr;
    TOLM_StopFn TOLM_Stop = nullptr;
    TOLM_SendModuleScanFn TOLM_SendModuleScan = nullptr;
    TOLM_SendConfigureFn TOLM_SendConfigure = nullptr;
    TOLM_RegisterCallBackFn TOLM_RegisterCallBack = nullptr;
    TOLM_DllGetVersionFn DllGetVersion = nullptr;  // required, never called
    // Extensions, bound when the library has them: why there is no socket,
    // where an answer or a reply came from, what a full queue dropped, this
    // PC's adapters (whose addresses no module may be given).
    TOLM_GetSocketStatusFn TOLM_GetSocketStatus = nullptr;
    TOLM_GetAdaptersFn TOLM_GetAdapters = nullptr;
    TOLM_GetResponseWithOriginFn TOLM_GetResponseWithOrigin = nullptr;
    TOLM_GetReplyWithOriginFn TOLM_GetReplyWithOrigin = nullptr;
    TOLM_GetDropCountsFn TOLM_GetDropCounts = nullptr;
};

// The library's file, looked for as the platform looks for a library to load.
inline constexpr const char* kTolmFileName = "tolm.dll";

// Loads the library (its socket opens) and binds the nine, and the extensions
// where the library has them; on any failure nothing stays loaded or bound.
bool LoadTolmLibrary();
// Unloads the library if it is loaded (its socket closes); false when nothing was loaded.
bool FreeTolmLibrary();
// The bound functions; all null while unbound.
const TolmFunctions& Tolm();
bool IsTolmLibraryBound();

// The main window's start: checks the version, then loads and binds. On
// failure the user is told, in a box owned by `owner`, and false comes back.
bool CheckAndLoadTolmLibrary(const CWnd& owner);
