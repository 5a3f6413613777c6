#include "tolm_binding.h"

namespace tolm::windows_test {
namespace {

template <typename Function>
void Bind(HMODULE module, const char* name, Function* function, std::string* missing) {
    // GetProcAddress returns a generic pointer; each export has its own type.
    *function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (*function == nullptr) *missing += std::string(missing->empty() ? "" : " ") + name;
}

}  // namespace

bool LoadTolm(TolmBinding* binding, std::string* missing) {
    *binding = TolmBinding{};
    missing->clear();
    HMODULE module = LoadLibraryW(L"tolm.dll");
    if (module == nullptr) {
        *missing = "tolm.dll (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    TolmBinding bound;
    bound.module = module;
    Bind(module, "TOLM_GetResponse", &bound.GetResponse, missing);
    Bind(module, "TOLM_GetInvPswdMacId", &bound.GetInvPswdMacId, missing);
    Bind(module, "TOLM_RemoveFirstInvPswdMacId", &bound.RemoveFirstInvPswdMacId, missing);
    Bind(module, "TOLM_Start", &bound.Start, missing);
    Bind(module, "TOLM_SendModuleScan", &bound.SendModuleScan, missing);
    Bind(module, "TOLM_SendConfigure", &bound.SendConfigure, missing);
    Bind(module, "TOLM_RegisterCallBack", &bound.RegisterCallBack, missing);
    Bind(module, "DllGetVersion", &bound.DllGetVersion, missing);
    Bind(module, "TOLM_Stop", &bound.Stop, missing);
    if (!missing->empty()) {
        FreeLibrary(module);
        return false;
    }
    *binding = bound;
    return true;
}

}  // namespace tolm::windows_test
