#include "ferrow_dlg.h"

#include "resource.h"
#include "tolm_library.h"
#include "version/about_dlg.h"

namespace {

constexpr const char* kColumns = "IP,90;SN,90;GW,90;DHCP,50;Version,50;Type,114;MAC,115";

}  // namespace

CFerrowDlg::CFerrowDlg()
    : CDialog(IDD_MAIN),
      m_hIcon(static_cast<HICON>(
          ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                       ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), LR_SHARED))) {}

void CFerrowDlg::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_DEVICE_LIST, m_listDevices);
    DDX_Control(dx, IDOK, m_btnExit);
}

BOOL CFerrowDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CString title;
    title.LoadString(IDS_MAIN_TITLE);
    SetWindowText(title);
    CString about;
    if (HMENU menu = GetSystemMenu(false); menu != nullptr && about.LoadString(IDS_ABOUTBOX)) {
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
    }
    SetIcon(m_hIcon, true);
    SetIcon(static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr),
                                            MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16,
                                            LR_SHARED)),
            false);
    if (!CheckAndLoadTolmLibrary(*this)) {
        CDialog::OnCancel();
        return TRUE;
    }
    m_listDevices.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_listDevices.SetColumns(kColumns);
    m_listDevices.ClearDevices();
    return TRUE;
}

void CFerrowDlg::OnSysCommand(UINT command, LPARAM) {
    if ((command & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else if (command == SC_CLOSE) {
        OnOK();
    } else {
        Default();
    }
}

void CFerrowDlg::OnDestroy() {
    Default();
    m_listDevices.ClearDevices();
    FreeTolmLibrary();
}

const MessageMap* CFerrowDlg::ClassMessageMap() {
    static constexpr MessageEntry kEntries[] = {
        OnMessage<&CFerrowDlg::OnSysCommand>(WM_SYSCOMMAND),
        OnMessage<&CFerrowDlg::OnDestroy>(WM_DESTROY),
    };
    static const MessageMap kMap{CDialog::ClassMessageMap(), kEntries};
    return &kMap;
}
