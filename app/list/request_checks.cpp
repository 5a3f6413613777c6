#include "list/request_checks.h"

#include <cctype>
#include <cstdint>

#include "client/address_text.h"
#include "client/configure_request.h"
#include "list/row_configuration.h"
#include "password_rule.h"
#include "record_text.h"

namespace {

constexpr unsigned kAllBlank = 0xF;
constexpr DWORD kBroadcast = 0xFFFFFFFF;

// One address control as the dialog left it.
struct AddressField {
    const char* name;
    std::uint8_t valid;
    DWORD value;
    unsigned blank;
};

std::string Refused(std::string why) {
    why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
    return "Configuration was NOT downloaded!\n\n" + why + ".";
}

std::string Named(const AddressField& field) {
    return std::string(field.name) + " " + tolm::client::IpText(field.value);
}

std::string WhyAddressCannotBeSent(const AddressField& field, bool is_ip, bool is_mask) {
    if (field.valid != 1) return {};
    if (field.blank != 0 && field.blank != kAllBlank)
        return std::string(field.name) + " is partly blank: fill in all four numbers";
    if (is_ip && field.value == 0)
        return Named(field) + " would leave the module without an address";
    if (is_ip && field.value == kBroadcast)
        return Named(field) + " is the broadcast address, which no module can take";
    if (field.value == kBroadcast)
        return Named(field) + " cannot be sent: the request spends it on \"leave unchanged\"";
    if (is_mask && field.value == 0)
        return Named(field) + " would leave the module no subnet: give one such as 255.255.255.0";
    if (is_mask && !tolm::client::IsContiguousMask(field.value))
        return Named(field) +
               " is not a subnet mask: its one bits must come first and without a gap, as in "
               "255.255.255.0";
    return {};
}

std::string WhyAddressesCannotBeSent(const CConfigDlg& d) {
    const AddressField ip{"the IP address", d.m_bIpAddressValid, d.m_dwIpAddress,
                          d.m_nIpAddressBlank};
    const AddressField mask{"the subnet mask", d.m_bSubnetMaskValid, d.m_dwSubnetMask,
                            d.m_nSubnetMaskBlank};
    const AddressField others[] = {
        {"the default gateway", d.m_bGatewayValid, d.m_dwGateway, d.m_nGatewayBlank},
        {"the primary DNS server", d.m_bPrimaryDnsValid, d.m_dwPrimaryDns, d.m_nPrimaryDnsBlank},
        {"the secondary DNS server", d.m_bSecondaryDnsValid, d.m_dwSecondaryDns,
         d.m_nSecondaryDnsBlank},
    };
    std::string why = WhyAddressCannotBeSent(ip, true, false);
    if (why.empty()) why = WhyAddressCannotBeSent(mask, false, true);
    for (const AddressField& field : others) {
        if (why.empty()) why = WhyAddressCannotBeSent(field, false, false);
    }
    return why;
}

std::string WhyPasswordsCannotBeSent(const TOLM_ConfigureRequestType& request) {
    using tolm::client::FieldText, tolm::client::WhyPasswordCannotBeSent;
    std::string why = WhyPasswordCannotBeSent(FieldText(request.szPassword), "the password");
    if (why.empty() && request.bChangePassword == 1)
        why = WhyPasswordCannotBeSent(FieldText(request.szNewPassword), "the new password");
    return why;
}

}  // namespace

std::string RefusalText(const TOLM_ConfigureRequestType& request, const CConfigDlg& dialog) {
    if (!tolm::client::IsLegalHostName(tolm::client::FieldText(request.szHostName)))
        return kIllegalHostNameText;
    if (std::string why = WhyAddressesCannotBeSent(dialog); !why.empty()) return Refused(why);
    if (std::string why = WhyPasswordsCannotBeSent(request); !why.empty()) return Refused(why);
    if (!tolm::client::WhyTooLong(request).empty()) return ConfigurationNotSentText(request);
    return {};
}

std::vector<std::string> QuestionsBeforeSending(const TOLM_ConfigureRequestType& request,
                                                const CConfigDlg& dialog) {
    using tolm::client::IpText;
    std::vector<std::string> questions;
    const DWORD ip = dialog.m_dwIpAddress;
    const DWORD mask = dialog.m_dwSubnetMask;
    const DWORD gateway = dialog.m_dwGateway;
    if (dialog.m_bIpAddressValid == 1 && dialog.m_bSubnetMaskValid == 1 &&
        dialog.m_bGatewayValid == 1 && gateway != 0 && (gateway & mask) != (ip & mask)) {
        questions.push_back("The default gateway " + IpText(gateway) +
                            " is outside the subnet of the IP address " + IpText(ip) +
                            " (subnet mask " + IpText(mask) +
                            "): the module could not reach it.\n\nSend the configuration anyway?");
    }
    if (request.bChangePassword == 1 && request.szNewPassword[0] == '\0') {
        questions.push_back(
            "The new password is empty: the module will no longer ask for a password, and "
            "anyone on the network can change its settings.\n\nRemove the module's password?");
    }
    return questions;
}

bool AsksForNewPasswordAgain(const TOLM_ConfigureRequestType& request) {
    return request.bChangePassword == 1 && request.szNewPassword[0] != '\0';
}
