#include "client/request_rule.h"

#include <algorithm>
#include <bitset>

#include "client/address_text.h"
#include "password_rule.h"
#include "record_text.h"

namespace tolm::client {
namespace {

constexpr std::uint32_t kAllOnes = 0xFFFFFFFF;

struct Judged {
    std::vector<RuleFinding> findings;

    void Error(RuleField field, const char* kind, std::string why) {
        findings.push_back({RuleSeverity::kError, field, kind, std::move(why)});
    }
    void Warning(RuleField field, const char* kind, std::string why) {
        findings.push_back({RuleSeverity::kWarning, field, kind, std::move(why)});
    }
};

std::optional<std::uint32_t> Reported(const TOLM_ModuleScanResponseType* module,
                                      std::uint32_t TOLM_ModuleScanResponseType::*value,
                                      std::uint8_t TOLM_ModuleScanResponseType::*valid) {
    if (module == nullptr || module->*valid != 1) return std::nullopt;
    return module->*value;
}

std::string Named(const char* field, std::uint32_t value) {
    return std::string(field) + " " + IpText(value);
}

std::string NetText(std::uint32_t network, std::uint32_t mask) {
    return IpText(network) + "/" + std::to_string(std::bitset<32>(mask).count());
}

// What no module can take as its own address, whatever its subnet.
const char* WhyNoModuleTakes(std::uint32_t ip) {
    if (ip >> 24 == 127) return "a loopback address, which never leaves the computer it is on";
    if (ip >> 28 == 0xE) return "a multicast address, which no module can take";
    if (ip >> 28 == 0xF) return "a reserved (class E) address, which no module can take";
    return nullptr;
}

void JudgeIp(std::uint32_t ip, const std::optional<std::uint32_t>& mask, bool dhcp_on,
             const std::vector<std::uint32_t>& own_addresses, Judged& out) {
    const std::string named = Named("the IP address", ip);
    // With DHCP on, 0.0.0.0 is an address still to come from the server.
    if (ip == 0 && dhcp_on) return;
    if (ip == 0)
        return out.Error(RuleField::kIpAddress, "zero-address",
                         named + " would leave the module without an address");
    if (const char* why = WhyNoModuleTakes(ip))
        return out.Error(RuleField::kIpAddress, "bad-address", named + " is " + why);
    if (std::find(own_addresses.begin(), own_addresses.end(), ip) != own_addresses.end())
        return out.Error(RuleField::kIpAddress, "own-address",
                         named +
                             " is this PC's own address: the module and the PC would "
                             "both answer to it");
    // /31 and /32 have no network or broadcast address of their own.
    if (!mask || *mask == 0 || !IsContiguousMask(*mask) || ~*mask < 3) return;
    const std::uint32_t network = ip & *mask;
    if (ip != network && ip != (network | ~*mask)) return;
    out.Error(RuleField::kIpAddress, "network-or-broadcast-address",
              named + " is the " + (ip == network ? "network" : "broadcast") +
                  " address of its subnet " + NetText(network, *mask));
}

void JudgeMask(std::uint32_t mask, Judged& out) {
    const std::string named = Named("the subnet mask", mask);
    if (mask == 0)
        out.Error(RuleField::kSubnetMask, "bad-mask",
                  named + " would leave the module no subnet: give one such as 255.255.255.0");
    else if (!IsContiguousMask(mask))
        out.Error(RuleField::kSubnetMask, "bad-mask",
                  named +
                      " is not a subnet mask: its one bits must come first and without a "
                      "gap, as in 255.255.255.0");
}

void JudgeAddresses(const ConfigureChanges& c, const TOLM_ModuleScanResponseType* module,
                    const std::vector<std::uint32_t>& own_addresses, Judged& out) {
    using R = TOLM_ModuleScanResponseType;
    // The protocol spends 255.255.255.255 on "leave unchanged".
    if (c.ip_address == kAllOnes)
        out.Error(RuleField::kIpAddress, "bad-address",
                  "the IP address 255.255.255.255 is the broadcast address, which no module can "
                  "take");
    const struct {
        RuleField field;
        const char* name;
        const std::optional<std::uint32_t>& value;
    } others[] = {{RuleField::kSubnetMask, "the subnet mask", c.subnet_mask},
                  {RuleField::kGateway, "the default gateway", c.gateway},
                  {RuleField::kDns1, "the primary DNS server", c.dns1},
                  {RuleField::kDns2, "the secondary DNS server", c.dns2}};
    for (const auto& other : others)
        if (other.value == kAllOnes)
            out.Error(other.field, "unsendable-address",
                      Named(other.name, kAllOnes) +
                          " cannot be sent: the request spends it on \"leave unchanged\"");
    if (!out.findings.empty()) return;

    const bool dhcp_on =
        c.dhcp.value_or(module != nullptr && module->bDhcpValid != 0 && module->bDhcpEnabled == 1);
    const std::optional<std::uint32_t> ip =
        c.ip_address ? c.ip_address : Reported(module, &R::dwIpAddress, &R::bIpAddressValid);
    const std::optional<std::uint32_t> mask =
        c.subnet_mask ? c.subnet_mask : Reported(module, &R::dwSubnetMask, &R::bSubnetMaskValid);
    const std::optional<std::uint32_t> gateway =
        c.gateway ? c.gateway : Reported(module, &R::dwGateway, &R::bGatewayValid);
    if (c.subnet_mask) JudgeMask(*c.subnet_mask, out);
    if (ip && (c.ip_address || c.subnet_mask))
        JudgeIp(*ip, mask, dhcp_on, c.ip_address ? own_addresses : std::vector<std::uint32_t>{},
                out);
    if (!out.findings.empty() || !(c.ip_address || c.subnet_mask || c.gateway)) return;
    if (!ip || !mask || !gateway || *gateway == 0 || *ip == 0 || *mask == 0) return;
    if ((*gateway & *mask) == (*ip & *mask)) return;
    out.Warning(RuleField::kGateway, "gateway-outside-subnet",
                "the default gateway " + IpText(*gateway) +
                    " is outside the subnet of the IP address " + IpText(*ip) + " (subnet mask " +
                    IpText(*mask) + "): the module could not reach it");
}

void JudgeTexts(const ConfigureChanges& c, const TOLM_ModuleScanResponseType* module, Judged& out) {
    const bool reported_name = module != nullptr && module->bHostNameValid == 1;
    if (c.host_name && !IsLegalHostName(*c.host_name))
        out.Error(
            RuleField::kHostName, "illegal-host-name",
            "illegal host name \"" + *c.host_name + "\": only letters, digits and '_' are allowed");
    else if (!c.host_name && reported_name && !IsLegalHostName(FieldText(module->szHostName)))
        out.Error(RuleField::kHostName, "illegal-host-name",
                  "the module's host name \"" + FieldText(module->szHostName) +
                      "\" holds characters other than letters, digits and '_', so it cannot be "
                      "sent again: give a new one");
    else if (!c.host_name && module != nullptr && !reported_name)
        out.Error(RuleField::kHostName, "host-name-needed",
                  "the module reported no host name, and every request sends one (an empty one "
                  "would erase it): give the host name to set");
    if (std::string why = WhyPasswordCannotBeSent(c.password, "the password"); !why.empty())
        out.Error(RuleField::kPassword, "unsendable-password", std::move(why));
    if (c.new_password) {
        if (std::string why = WhyPasswordCannotBeSent(*c.new_password, "the new password");
            !why.empty())
            out.Error(RuleField::kNewPassword, "unsendable-password", std::move(why));
        else if (c.new_password->empty())
            out.Warning(RuleField::kNewPassword, "empty-new-password",
                        "the new password is empty: the module will no longer ask for a "
                        "password, and anyone on the network can change its settings");
    }
}

// The texts at the protocol's limits, measured as they would go.
void JudgeLength(const ConfigureChanges& c, const TOLM_ModuleScanResponseType* module,
                 Judged& out) {
    TOLM_ConfigureRequestType request = UnchangedRequest();
    const std::string host_name = c.host_name.value_or(
        module != nullptr && module->bHostNameValid == 1 ? FieldText(module->szHostName) : "");
    request.bChangePassword = c.new_password ? 1 : 0;
    if (!CopyText(host_name, request.szHostName) || !CopyText(c.password, request.szPassword) ||
        !CopyText(c.new_password.value_or(""), request.szNewPassword))
        return out.Error(RuleField::kRequest, "too-long",
                         "a text holds more than 127 characters or a NUL");
    const auto set = [](const std::optional<std::uint32_t>& value, std::uint32_t& field) {
        if (value) field = *value;
    };
    set(c.ip_address, request.dwIpAddress);
    set(c.subnet_mask, request.dwSubnetMask);
    set(c.gateway, request.dwGateway);
    set(c.dns1, request.dwDns1);
    set(c.dns2, request.dwDns2);
    if (c.dhcp) request.bDhcpEnabled = *c.dhcp ? 1 : 0;
    if (std::string why = WhyTooLong(request); !why.empty())
        out.Error(RuleField::kRequest, "too-long", std::move(why));
}

}  // namespace

std::vector<RuleFinding> CheckChanges(const ConfigureChanges& changes,
                                      const TOLM_ModuleScanResponseType* module,
                                      const std::vector<std::uint32_t>& own_addresses) {
    Judged judged;
    JudgeAddresses(changes, module, own_addresses, judged);
    JudgeTexts(changes, module, judged);
    if (!HasRuleError(judged.findings)) JudgeLength(changes, module, judged);
    return std::move(judged.findings);
}

bool HasRuleError(const std::vector<RuleFinding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const RuleFinding& f) { return f.severity == RuleSeverity::kError; });
}

}  // namespace tolm::client
