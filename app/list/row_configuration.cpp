#include "list/row_configuration.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "client/configure_request.h"
#include "record_text.h"

namespace {

// An address the user could reach; one the module did not report stays as it is.
std::optional<std::uint32_t> Shown(std::uint8_t valid, DWORD value) {
    if (valid != 1) return std::nullopt;
    return value;
}

// What the user leaves in the dialog, as the host side's builder takes it:
// every address the module reported, the DHCP choice and the texts as typed.
// The host name always: the protocol has no "unchanged" for it.
tolm::client::ConfigureChanges ChangesFrom(const CConfigDlg& dialog) {
    using tolm::client::FieldText;
    tolm::client::ConfigureChanges changes;
    changes.ip_address = Shown(dialog.m_bIpAddressValid, dialog.m_dwIpAddress);
    changes.subnet_mask = Shown(dialog.m_bSubnetMaskValid, dialog.m_dwSubnetMask);
    changes.gateway = Shown(dialog.m_bGatewayValid, dialog.m_dwGateway);
    changes.dns1 = Shown(dialog.m_bPrimaryDnsValid, dialog.m_dwPrimaryDns);
    changes.dns2 = Shown(dialog.m_bSecondaryDnsValid, dialog.m_dwSecondaryDns);
    if (dialog.m_nDhcp == 0 || dialog.m_nDhcp == 1) changes.dhcp = dialog.m_nDhcp == 0;
    changes.host_name = FieldText(dialog.m_szHostName);
    changes.password = FieldText(dialog.m_szPassword);
    if (dialog.m_bChangePassword == 1) changes.new_password = FieldText(dialog.m_szNewPassword);
    return changes;
}

}  // namespace

std::optional<MacBytes> ParseRowMac(const char* text) {
    unsigned numbers[TOLM_MAC_SIZE] = {};
    if (std::sscanf(text, "%x-%x-%x-%x-%x-%x", &numbers[0], &numbers[1], &numbers[2], &numbers[3],
                    &numbers[4], &numbers[5]) != TOLM_MAC_SIZE) {
        return std::nullopt;
    }
    MacBytes mac;
    for (int i = 0; i < TOLM_MAC_SIZE; ++i) mac[i] = static_cast<std::uint8_t>(numbers[i]);
    return mac;
}

bool ListTakesKey(UINT key, int selected_row) {
    return key == VK_RETURN && selected_row >= 0;
}

std::optional<TOLM_ModuleScanResponseType> FindDevice(const DeviceRecords& devices,
                                                      const MacBytes& mac) {
    for (POSITION position = devices.GetHeadPosition(); position != nullptr;) {
        const TOLM_ModuleScanResponseType& record = devices.GetNext(position);
        if (std::memcmp(record.abMacId, mac.data(), TOLM_MAC_SIZE) == 0) return record;
    }
    return std::nullopt;
}

void SetConfigInputs(const TOLM_ModuleScanResponseType& record, CConfigDlg& dialog) {
    const auto address = [](std::uint8_t valid, std::uint32_t value, std::uint8_t& flag,
                            DWORD& member) {
        flag = valid == 1 ? 1 : 0;
        if (flag == 1) member = value;
    };
    address(record.bIpAddressValid, record.dwIpAddress, dialog.m_bIpAddressValid,
            dialog.m_dwIpAddress);
    address(record.bSubnetMaskValid, record.dwSubnetMask, dialog.m_bSubnetMaskValid,
            dialog.m_dwSubnetMask);
    address(record.bGatewayValid, record.dwGateway, dialog.m_bGatewayValid, dialog.m_dwGateway);
    address(record.bDns1Valid, record.dwDns1, dialog.m_bPrimaryDnsValid, dialog.m_dwPrimaryDns);
    address(record.bDns2Valid, record.dwDns2, dialog.m_bSecondaryDnsValid, dialog.m_dwSecondaryDns);
    dialog.m_bHostNameValid = record.bHostNameValid == 1 ? 1 : 0;
    if (dialog.m_bHostNameValid == 1)
        tolm::client::CopyTextCut(tolm::client::FieldText(record.szHostName), dialog.m_szHostName);
    if (record.bDhcpValid == 0) {
        dialog.m_nDhcp = -1;
    } else {
        dialog.m_nDhcp = record.bDhcpEnabled == 0 ? 1 : 0;
    }
    dialog.m_bPasswordProtected = record.bPswdValid != 0 && record.bPswdEnabled != 0 ? 1 : 0;
}

TOLM_ConfigureRequestType ConfigureRequestFrom(const TOLM_ModuleScanResponseType& record,
                                               const CConfigDlg& dialog) {
    return tolm::client::ComposeRequest(record, ChangesFrom(dialog));
}

std::string ConfigurationNotSentText(const TOLM_ConfigureRequestType& request) {
    std::string why = tolm::client::WhyTooLong(request);
    if (why.empty()) {
        return "Configuration was NOT downloaded!\n\nThe request could not be sent on the network.";
    }
    why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
    return "Configuration was NOT downloaded!\n\n" + why + ".";
}
