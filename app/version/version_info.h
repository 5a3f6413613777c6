// CVFXVersionInfo: reads a file's version resource into a CVFXVersionRes,
// the strings from the one string table named by the language and code page
// given at construction. While the reader exists the calling thread runs
// under that language's locale, when it is installed.
#pragma once

#include <windows.h>

#include "framework/object.h"
#include "version/version_res.h"

class CVFXVersionInfo : public CObject {
  public:
    CVFXVersionInfo(DWORD code_page, WORD language);
    CVFXVersionInfo(const CVFXVersionInfo&) = delete;
    CVFXVersionInfo& operator=(const CVFXVersionInfo&) = delete;
    // Gives the thread its earlier locale back.
    ~CVFXVersionInfo() override;

    // Reads `module_name` (trimmed; null or blank: the running program's own
    // file). False leaves `holder` cleared.
    bool GetVersionInfo(CVFXVersionRes& holder, const char* module_name) const;
    // The value of `key` in the selected string table, cut to `size` - 1 characters.
    bool QueryString(const void* block, const char* key, char* buffer, int size) const;

    const CRuntimeClass* GetRuntimeClass() const override { return &classCVFXVersionInfo; }
    static const CRuntimeClass classCVFXVersionInfo;

    WORD m_wLanguage;
    DWORD m_dwCodePage;
    LCID m_lcidSaved;
    LCID m_lcidUsed;
};
