#include "version/about_dlg.h"

#include "resource.h"
#include "version/version_info.h"

namespace {

// The string table "040904b0": US English, Unicode.
constexpr DWORD kCodePage = 1200;
constexpr WORD kLanguage = 1033;

}  // namespace

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

void CAboutDlg::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_ABOUT_VERSION, m_strVersion);
    DDX_Control(dx, IDC_ABOUT_ICON, m_ctlIcon);
}

BOOL CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CVFXVersionRes holder;
    const CVFXVersionInfo reader(kCodePage, kLanguage);
    CString caption;
    caption.LoadString(IDS_ABOUT_TITLE);
    SetWindowText(caption);
    if (reader.GetVersionInfo(holder, nullptr)) {
        m_strVersion = AboutVersionLine(holder.m_strProductVersion);
    }
    UpdateData(false);
    return TRUE;
}

CString AboutVersionLine(const CString& product_version) {
    CString line = product_version;
    line.Remove(' ');
    line = CString("Version: ") + line;
    line.Replace(',', '.');
    return line;
}
