#include "version/module_name.h"

#include <psapi.h>

const CRuntimeClass CVFXGetModuleName::classCVFXGetModuleName{"CVFXGetModuleName",
                                                              &CObject::classCObject};

bool CVFXGetModuleName::GetModuleName(CString& name, HANDLE process, HMODULE module) const {
    name.Empty();
    if (process == nullptr) process = ::GetCurrentProcess();
    if (module == nullptr) module = ::GetModuleHandleA(nullptr);
    if (process == nullptr && module == nullptr) return false;
    char path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameExA(process, module, path, MAX_PATH);
    name = path;
    return length != 0;
}
