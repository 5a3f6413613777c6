#include "cli/delivery/mismatches.h"

#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

void CheckAddress(const char* what, const std::optional<std::uint32_t>& wanted, std::uint8_t valid,
                  std::uint32_t reported, std::vector<std::string>& out) {
    if (!wanted || (valid == 1 && reported == *wanted)) return;
    out.push_back(std::string(what) + ": sent " + client::IpText(*wanted) +
                  ", the module reports " + (valid == 1 ? client::IpText(reported) : "none"));
}

void CheckState(const char* what, bool wanted, std::uint8_t valid, bool reported,
                std::vector<std::string>& out) {
    if (valid != 0 && reported == wanted) return;
    out.push_back(std::string(what) + ": sent " + (wanted ? "on" : "off") +
                  ", the module reports " +
                  (valid == 0 ? "none"
                   : reported ? "on"
                              : "off"));
}

}  // namespace

std::vector<std::string> Mismatches(const client::ConfigureChanges& c,
                                    const TOLM_ModuleScanResponseType& m) {
    std::vector<std::string> out;
    CheckAddress("IP address", c.ip_address, m.bIpAddressValid, m.dwIpAddress, out);
    CheckAddress("subnet mask", c.subnet_mask, m.bSubnetMaskValid, m.dwSubnetMask, out);
    CheckAddress("gateway", c.gateway, m.bGatewayValid, m.dwGateway, out);
    CheckAddress("primary DNS server", c.dns1, m.bDns1Valid, m.dwDns1, out);
    CheckAddress("secondary DNS server", c.dns2, m.bDns2Valid, m.dwDns2, out);
    if (c.dhcp) CheckState("DHCP", *c.dhcp, m.bDhcpValid, m.bDhcpEnabled == 1, out);
    if (c.host_name) {
        const std::string reported = m.bHostNameValid == 1 ? client::FieldText(m.szHostName) : "";
        if (m.bHostNameValid != 1 || reported != *c.host_name)
            out.push_back("host name: sent \"" + *c.host_name + "\", the module reports " +
                          (m.bHostNameValid == 1 ? "\"" + reported + "\"" : "none"));
    }
    // An empty new password removes the password.
    if (c.new_password)
        CheckState("password protection", !c.new_password->empty(), m.bPswdValid,
                   m.bPswdEnabled != 0, out);
    return out;
}

}  // namespace tolm::linkora
