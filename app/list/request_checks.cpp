#include "list/request_checks.h"

#include <cctype>
#include <cstdint>

#include "client/configure_request.h"
#include "client/request_rule.h"
#include "list/row_configuration.h"
#include "record_text.h"

namespace {

constexpr unsigned kAllBlank = 0xF;

std::string Capitalized(std::string why) {
    why[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(why[0])));
    return why;
}

std::string Refused(const std::string& why) {
    return "Configuration was NOT downloaded!\n\n" + Capitalized(why) + ".";
}

// What the dialog gives the module: every address whose control the user
// could reach, as the request carries it.
tolm::client::ConfigureChanges ChangesFrom(const TOLM_ConfigureRequestType& request,
                                           const CConfigDlg& d) {
    tolm::client::ConfigureChanges c;
    const auto given = [](std::uint8_t valid, DWORD value) {
        return valid == 1 ? std::optional<std::uint32_t>(value) : std::nullopt;
    };
    c.ip_address = given(d.m_bIpAddressValid, d.m_dwIpAddress);
    c.subnet_mask = given(d.m_bSubnetMaskValid, d.m_dwSubnetMask);
    c.gateway = given(d.m_bGatewayValid, d.m_dwGateway);
    c.dns1 = given(d.m_bPrimaryDnsValid, d.m_dwPrimaryDns);
    c.dns2 = given(d.m_bSecondaryDnsValid, d.m_dwSecondaryDns);
    if (request.bDhcpEnabled <= 1) c.dhcp = request.bDhcpEnabled == 1;
    c.host_name = tolm::client::FieldText(request.szHostName);
    c.password = tolm::client::FieldText(request.szPassword);
    if (request.bChangePassword == 1)
        c.new_password = tolm::client::FieldText(request.szNewPassword);
    return c;
}

// The rule's findings for the request.
std::vector<tolm::client::RuleFinding> Judged(const TOLM_ConfigureRequestType& request,
                                              const CConfigDlg& dialog,
                                              const std::vector<std::uint32_t>& own_addresses) {
    return tolm::client::CheckChanges(ChangesFrom(request, dialog), nullptr, own_addresses);
}

// An address control the user left with some numbers blank.
std::string WhyPartlyBlank(const CConfigDlg& d) {
    const struct {
        const char* name;
        std::uint8_t valid;
        unsigned blank;
    } fields[] = {
        {"the IP address", d.m_bIpAddressValid, d.m_nIpAddressBlank},
        {"the subnet mask", d.m_bSubnetMaskValid, d.m_nSubnetMaskBlank},
        {"the default gateway", d.m_bGatewayValid, d.m_nGatewayBlank},
        {"the primary DNS server", d.m_bPrimaryDnsValid, d.m_nPrimaryDnsBlank},
        {"the secondary DNS server", d.m_bSecondaryDnsValid, d.m_nSecondaryDnsBlank},
    };
    for (const auto& field : fields)
        if (field.valid == 1 && field.blank != 0 && field.blank != kAllBlank)
            return std::string(field.name) + " is partly blank: fill in all four numbers";
    return {};
}

}  // namespace

std::string RefusalText(const TOLM_ConfigureRequestType& request, const CConfigDlg& dialog,
                        const std::vector<std::uint32_t>& own_addresses) {
    using tolm::client::RuleSeverity;
    const std::vector<tolm::client::RuleFinding> findings = Judged(request, dialog, own_addresses);
    for (const auto& f : findings)
        if (f.kind == "illegal-host-name") return kIllegalHostNameText;
    if (std::string why = WhyPartlyBlank(dialog); !why.empty()) return Refused(why);
    for (const auto& f : findings) {
        if (f.severity != RuleSeverity::kError) continue;
        return f.kind == "too-long" ? ConfigurationNotSentText(request) : Refused(f.why);
    }
    return {};
}

std::vector<std::string> QuestionsBeforeSending(const TOLM_ConfigureRequestType& request,
                                                const CConfigDlg& dialog) {
    std::vector<std::string> questions;
    // Asked only once RefusalText has let the request through, so this PC's
    // addresses (an error, never a question) need not be known here.
    for (const auto& f : Judged(request, dialog, {})) {
        if (f.kind == "gateway-outside-subnet")
            questions.push_back(Capitalized(f.why) + ".\n\nSend the configuration anyway?");
        if (f.kind == "empty-new-password")
            questions.push_back(
                "The new password is empty: the module will no longer ask for a password, and "
                "anyone on the network can change its settings.\n\nRemove the module's password?");
    }
    return questions;
}

bool AsksForNewPasswordAgain(const TOLM_ConfigureRequestType& request) {
    return request.bChangePassword == 1 && request.szNewPassword[0] != '\0';
}
