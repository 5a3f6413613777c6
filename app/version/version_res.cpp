#include "version/version_res.h"

#include <cstdio>

#include "framework/message_box.h"

void CVFXVersionRes::Show(bool to_console) const {
    const CString text = GetText();
    if (to_console) {
        std::printf("%s", text.GetString());
        std::fflush(stdout);
    } else {
        AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
    }
}

void CVFXVersionRes::Clear() {
    m_strModuleName.Empty();
    for (int i = 0; i < 4; ++i) m_wFileVersion[i] = m_wProductVersion[i] = 0;
    for (CString* text :
         {&m_strFileVersion, &m_strProductVersion, &m_strCompanyName, &m_strFileDescription,
          &m_strInternalName, &m_strLegalCopyright, &m_strOriginalFilename, &m_strProductName,
          &m_strComments, &m_strLegalTrademarks, &m_strPrivateBuild, &m_strSpecialBuild}) {
        text->Empty();
    }
}

bool CVFXVersionRes::IsEmpty() const {
    for (int i = 0; i < 4; ++i) {
        if (m_wFileVersion[i] != 0 || m_wProductVersion[i] != 0) return false;
    }
    for (const CString* text :
         {&m_strModuleName, &m_strFileVersion, &m_strProductVersion, &m_strCompanyName,
          &m_strFileDescription, &m_strInternalName, &m_strLegalCopyright, &m_strOriginalFilename,
          &m_strProductName, &m_strComments, &m_strLegalTrademarks, &m_strPrivateBuild,
          &m_strSpecialBuild}) {
        if (!text->IsEmpty()) return false;
    }
    return true;
}

void CVFXVersionRes::CopyFrom(const CVFXVersionRes& other) {
    *this = other;
}

CString CVFXVersionRes::GetText() const {
    if (IsEmpty()) return "No version information is available";
    CString text;
    text.Format(
        "VS_VERSION_INFO for %s:\n\nFileVersion: %s\nProductVersion: %s\nCompanyName: "
        "%s\nFileDescription: %s\nInternalName: %s\nLegalCopyright: %s\nOriginalFileName: "
        "%s\nProductName: %s\nComments %s\nLegalTradeMarks: %s\nPrivateBuild: %s\nSpecialBuild: "
        "%s\n",
        m_strModuleName.GetString(), m_strFileVersion.GetString(), m_strProductVersion.GetString(),
        m_strCompanyName.GetString(), m_strFileDescription.GetString(),
        m_strInternalName.GetString(), m_strLegalCopyright.GetString(),
        m_strOriginalFilename.GetString(), m_strProductName.GetString(), m_strComments.GetString(),
        m_strLegalTrademarks.GetString(), m_strPrivateBuild.GetString(),
        m_strSpecialBuild.GetString());
    return text;
}
