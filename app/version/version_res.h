// CVFXVersionRes: what a file's version resource says: the fixed file and
// product versions and twelve strings of one string table.
#pragma once

#include <windows.h>

#include "framework/string.h"

class CVFXVersionRes {
  public:
    CVFXVersionRes() { Clear(); }
    virtual ~CVFXVersionRes() = default;

    // Writes the summary to standard output, or shows it in a message box.
    virtual void Show(bool to_console) const;
    virtual void Clear();
    virtual bool IsEmpty() const;
    virtual void CopyFrom(const CVFXVersionRes& other);
    // The summary: every string with its label, or a line saying there is none.
    virtual CString GetText() const;

    CString m_strModuleName;
    WORD m_wFileVersion[4];  // 1, 6, 1, 3 for 1.6.1.3
    WORD m_wProductVersion[4];
    CString m_strFileVersion;
    CString m_strProductVersion;
    CString m_strCompanyName;
    CString m_strFileDescription;
    CString m_strInternalName;
    CString m_strLegalCopyright;
    CString m_strOriginalFilename;
    CString m_strProductName;
    CString m_strComments;
    CString m_strLegalTrademarks;
    CString m_strPrivateBuild;
    CString m_strSpecialBuild;
};
