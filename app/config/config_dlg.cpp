#include "config/config_dlg.h"

#include "client/configure_request.h"
#include "program_icon.h"
#include "resource.h"

namespace {

// Each text holds at most 127 characters and its NUL.
constexpr int kTextLimit = TOLM_TEXT_SIZE - 1;

// What the control holds, and which of its fields are blank.
void ReadAddress(const CIPAddressCtrl& control, DWORD& address, unsigned& blank) {
    control.GetAddress(address);
    blank = control.GetBlankFields();
}

// Shows a reported address, its blank fields blank, or leaves the control
// blank and out of reach.
void ShowAddress(CIPAddressCtrl& control, std::uint8_t valid, DWORD address, unsigned blank) {
    if (valid == 1) {
        control.SetAddress(address);
        control.BlankFields(blank);
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
    ShowAddress(m_ipSubnetMask, m_bSubnetMaskValid, m_dwSubnetMask, m_nSubnetMaskBlank);
    ShowAddress(m_ipAddress, m_bIpAddressValid, m_dwIpAddress, m_nIpAddressBlank);
    ShowAddress(m_ipGateway, m_bGatewayValid, m_dwGateway, m_nGatewayBlank);
    ShowAddress(m_ipPrimaryDns, m_bPrimaryDnsValid, m_dwPrimaryDns, m_nPrimaryDnsBlank);
    ShowAddress(m_ipSecondaryDns, m_bSecondaryDnsValid, m_dwSecondaryDns, m_nSecondaryDnsBlank);
    if (m_bPasswordProtected == 0) m_editPassword.SetReadOnly(true);
    m_editNewPassword.SetReadOnly(m_bChangePassword != 1);
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
    ReadAddress(m_ipSubnetMask, m_dwSubnetMask, m_nSubnetMaskBlank);
    ReadAddress(m_ipAddress, m_dwIpAddress, m_nIpAddressBlank);
    ReadAddress(m_ipGateway, m_dwGateway, m_nGatewayBlank);
    ReadAddress(m_ipPrimaryDns, m_dwPrimaryDns, m_nPrimaryDnsBlank);
    ReadAddress(m_ipSecondaryDns, m_dwSecondaryDns, m_nSecondaryDnsBlank);
    tolm::client::CopyTextCut(m_strPassword.str(), m_szPassword);
    tolm::client::CopyTextCut(m_strNewPassword.str(), m_szNewPassword);
    tolm::client::CopyTextCut(m_strHostName.str(), m_szHostName);
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
