// CVFXGetModuleName: the full file name of a module of a process.
#pragma once

#include <windows.h>

#include "framework/object.h"
#include "framework/string.h"

class CVFXGetModuleName : public CObject {
  public:
    // `process` null: this process; `module` null: its executable. True when
    // the platform gave a file name.
    bool GetModuleName(CString& name, HANDLE process = nullptr, HMODULE module = nullptr) const;

    const CRuntimeClass* GetRuntimeClass() const override { return &classCVFXGetModuleName; }
    static const CRuntimeClass classCVFXGetModuleName;
};
