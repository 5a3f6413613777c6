#include "config/config_dlg.h"

#include <cstring>

#include "program_icon.h"
#include "resource.h"

namespace {

// Each text holds at most 127 characters and its NUL.
constexpr int kTextLimit = TOLM_TEXT_SIZE - 1;

// An empty string stores an empty text; a longer one is cut to the buffer.
void CopyText(const CString& text, char (&buffer)[TOLM_TEXT_SIZE]) {
    std::strncpy(buffer, text, sizeof buffer - 1);
    buffer[sizeof buffer - 1] = '\0';
}

// Shows a reported address, or leaves the control blank and out of reach.
void ShowAddress(CIPAddressCtrl& control, std::uint8_t valid, DWORD address) {
    if (valid == 1) {
        control.SetAddress(address);
    } else {
        control.ClearAddress();
        control.EnableWindow(false);
    }
}

}  // namespace

CConfigDlg::CConfigDlg(CWnd* parent)
    : CDialog(IDD_CONFIG, parent), m_hIcon(LoadProgramIcon(::GetSystemMetrics(SM_CXICON))) {}

void CConfigDlg::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_HOST_NAME, m_editHostName);
    DDX_Control(dx, IDC_SECONDARY_DNS, m_ipSecondaryDns);
    DDX_Control(dx, IDC_PRIMARY_DNS, m_ipPrimaryDns);
    DDX_Control(dx, IDC_NEW_PASSWORD, m_editNewPassword);
    DDX_Control(dx, IDC_PASSWORD, m_editPassword);
    DDX_Control(dx, IDC_SUBNET_MASK, m_ipSubnetMask);
    DDX_Control(dx, IDC_IP_ADDRESS, m_ipAddress);
    DDX_Control(dx, IDC_GATEWAY, m_ipGateway);
    DDX_Text(dx, IDC_NEW_PASSWORD, m_strNewPassword);
    DDV_MaxChars(dx, m_strNewPassword, kTextLimit);
    DDX_Text(dx, IDC_PASSWORD, m_strPassword);
    DDV_MaxChars(dx, m_strPassword, kTextLimit);
    DDX_Radio(dx, IDC_DHCP_ON, m_nDhcp);
    DDX_Check(dx, IDC_CHANGE_PASSWORD, m_bChangePassword);
    DDX_Text(dx, IDC_HOST_NAME, m_strHostName);
    DDV_MaxChars(dx, m_strHostName, kTextLimit);
    // A module that reported no DHCP state offers no choice.
    if (m_nDhcp == -1) {
        ::EnableWindow(GetDlgItem(IDC_DHCP_ON), FALSE);
        ::EnableWindow(GetDlgItem(IDC_DHCP_OFF), FALSE);
    }
}

BOOL CConfigDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetIcon(m_hIcon, true);
    SetIcon(LoadProgramIcon(16), false);
    SetWindowText(m_strCaption);
    if (m_bHostNameValid == 1) {
        m_editHostName.SetWindowText(m_szHostName);
    } else {
        m_editHostName.EnableWindow(false);
    }
    ShowAddress(m_ipSubnetMask, m_bSubnetMaskValid, m_dwSubnetMask);
    ShowAddress(m_ipAddress, m_bIpAddressValid, m_dwIpAddress);
    ShowAddress(m_ipGateway, m_bGatewayValid, m_dwGateway);
    ShowAddress(m_ipPrimaryDns, m_bPrimaryDnsValid, m_dwPrimaryDns);
    ShowAddress(m_ipSecondaryDns, m_bSecondaryDnsValid, m_dwSecondaryDns);
    if (m_bPasswordProtected == 0) m_editPassword.SetReadOnly(true);
    m_editNewPassword.SetReadOnly(true);
    return TRUE;
}

int CConfigDlg::OnCreate(CREATESTRUCTA*) {
    return Default() == -1 ? -1 : 0;
}

void CConfigDlg::OnChangePassword() {
    UpdateData(true);
    m_editNewPassword.SetReadOnly(m_bChangePassword != 1);
}

void CConfigDlg::OnDestroy() {
    // After Set or Cancel alike: what the controls hold becomes the outputs.
    m_ipSubnetMask.GetAddress(m_dwSubnetMask);
    m_ipAddress.GetAddress(m_dwIpAddress);
    m_ipGateway.GetAddress(m_dwGateway);
    m_ipPrimaryDns.GetAddress(m_dwPrimaryDns);
    m_ipSecondaryDns.GetAddress(m_dwSecondaryDns);
    CopyText(m_strPassword, m_szPassword);
    CopyText(m_strNewPassword, m_szNewPassword);
    CopyText(m_strHostName, m_szHostName);
    Default();
}

const MessageMap* CConfigDlg::ClassMessageMap() {
    static constexpr MessageEntry kEntries[] = {
        OnMessage<&CConfigDlg::OnCreate>(WM_CREATE),
        OnMessage<&CConfigDlg::OnDestroy>(WM_DESTROY),
        OnCommand<&CConfigDlg::OnChangePassword>(IDC_CHANGE_PASSWORD),
    };
    static const MessageMap kMap{CDialog::ClassMessageMap(), kEntries};
    return &kMap;
}
