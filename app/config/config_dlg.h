// CConfigDlg: one module's network settings and password, edited before a
// configure request goes out. The caller fills the input members, runs the
// dialog and, after Set, reads the output members; the dialog knows nothing
// of the protocol or the record. Run again, the same object opens with what
// the user left in it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/dialog.h"
#include "framework/edit.h"
#include "framework/ip_address_ctrl.h"
#include "tolm.h"

class CConfigDlg : public CDialog {
  public:
    explicit CConfigDlg(CWnd* parent = nullptr);
    ~CConfigDlg() override = default;

    // Inputs (the caller sets them; a value counts only when its flag is
    // exactly 1) and outputs (complete once the modal run returned).
    int m_bPasswordProtected = 0;
    char m_szNewPassword[TOLM_TEXT_SIZE] = {};
    char m_szPassword[TOLM_TEXT_SIZE] = {};
    char m_szHostName[TOLM_TEXT_SIZE] = {};
    DWORD m_dwSubnetMask = 0;
    DWORD m_dwIpAddress = 0;
    DWORD m_dwGateway = 0;
    DWORD m_dwPrimaryDns = 0;
    DWORD m_dwSecondaryDns = 0;
    std::uint8_t m_bHostNameValid = 0;
    std::uint8_t m_bSubnetMaskValid = 0;
    std::uint8_t m_bIpAddressValid = 0;
    std::uint8_t m_bGatewayValid = 0;
    std::uint8_t m_bPrimaryDnsValid = 0;
    std::uint8_t m_bSecondaryDnsValid = 0;
    CString m_strCaption;
    CEdit m_editHostName;
    CIPAddressCtrl m_ipSecondaryDns;
    CIPAddressCtrl m_ipPrimaryDns;
    CEdit m_editNewPassword;
    CEdit m_editPassword;
    CIPAddressCtrl m_ipSubnetMask;
    CIPAddressCtrl m_ipAddress;
    CIPAddressCtrl m_ipGateway;
    CString m_strNewPassword;
    CString m_strPassword;
    // 0 "On", 1 "Off", -1 neither (no DHCP state reported).
    int m_nDhcp = -1;
    int m_bChangePassword = 0;
    CString m_strHostName;
    HICON m_hIcon;
    // The blank fields of each address control (bit 0 its first number) when
    // the dialog closed; set again when it opens, so that a dialog opened
    // once more shows the addresses as they were left, partly blank included.
    unsigned m_nSubnetMaskBlank = 0;
    unsigned m_nIpAddressBlank = 0;
    unsigned m_nGatewayBlank = 0;
    unsigned m_nPrimaryDnsBlank = 0;
    unsigned m_nSecondaryDnsBlank = 0;

  protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    static const MessageMap* ClassMessageMap();
    const MessageMap* GetMessageMap() const override { return ClassMessageMap(); }

  private:
    int OnCreate(CREATESTRUCTA* create);
    void OnDestroy();
    void OnChangePassword();
};
