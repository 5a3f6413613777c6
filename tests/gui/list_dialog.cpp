#include "list_dialog.h"

#include <cstdio>
#include <cstring>

#include "resource.h"

namespace gui_test {

ListDialog::ListDialog(const char* columns) : CDialog(IDD_MAIN), m_columns(columns) {}

void ListDialog::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_DEVICE_LIST, m_listDevices);
}

BOOL ListDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    CString title;
    title.LoadString(IDS_MAIN_TITLE);
    SetWindowText(title);
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    for (const bool big : {true, false}) {
        const int size = big ? ::GetSystemMetrics(SM_CXICON) : 16;
        SetIcon(static_cast<HICON>(::LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME),
                                                IMAGE_ICON, size, size, LR_SHARED)),
                big);
    }
    m_listDevices.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_nSetColumnsResult = m_listDevices.SetColumns(m_columns);
    return TRUE;
}

void ListDialog::OnDestroy() {
    Default();
    m_listDevices.ClearDevices();
}

const MessageMap* ListDialog::ClassMessageMap() {
    static constexpr MessageEntry kEntries[] = {
        OnMessage<&ListDialog::OnDestroy>(WM_DESTROY),
    };
    static const MessageMap kMap{CDialog::ClassMessageMap(), kEntries};
    return &kMap;
}

TOLM_ModuleScanResponseType Module(unsigned char mac_last) {
    TOLM_ModuleScanResponseType record;
    std::memset(&record, 0xFF, sizeof record);
    const unsigned char mac[TOLM_MAC_SIZE] = {0x02, 0x00, 0x0A, 0x0B, 0x0C, mac_last};
    std::memcpy(record.abMacId, mac, sizeof mac);
    record.bProtocolVersionValid = record.bFbTypeValid = record.bModuleVersionValid = 0;
    record.bIpAddressValid = record.bSubnetMaskValid = record.bGatewayValid = 0;
    record.bDhcpValid = record.bPswdValid = record.bHostNameValid = 0;
    record.bDns1Valid = record.bDns2Valid = 0;
    record.bMacIdValid = 1;
    return record;
}

std::uint32_t Address(const char* dotted) {
    unsigned a = 0, b = 0, c = 0, d = 0;
    std::sscanf(dotted, "%u.%u.%u.%u", &a, &b, &c, &d);
    return a << 24 | b << 16 | c << 8 | d;
}

}  // namespace gui_test
