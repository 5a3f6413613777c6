// A stand-in for tolm.dll with the nine exports and no behaviour: the binding
// tests load it under the library's file name with different version
// resources. Built without DllGetVersion when FAKE_TOLM_WITHOUT_DLL_GET_VERSION is set.
#include <windows.h>

#include <cstdint>

#define FAKE_EXPORT extern "C" __declspec(dllexport) std::int32_t __stdcall

FAKE_EXPORT TOLM_GetResponse(void*) {
    return 0;
}
FAKE_EXPORT TOLM_GetInvPswdMacId(void*) {
    return 0;
}
FAKE_EXPORT TOLM_RemoveFirstInvPswdMacId() {
    return 0;
}
FAKE_EXPORT TOLM_Start() {
    return 1;
}
FAKE_EXPORT TOLM_Stop() {
    return 1;
}
FAKE_EXPORT TOLM_SendModuleScan() {
    return 0;
}
FAKE_EXPORT TOLM_SendConfigure(const void*) {
    return 0;
}
extern "C" __declspec(dllexport) void* __stdcall TOLM_RegisterCallBack(void* callback) {
    return callback;
}
#ifndef FAKE_TOLM_WITHOUT_DLL_GET_VERSION
FAKE_EXPORT DllGetVersion(void*) {
    return 0;
}
#endif
