#include "cli/doctor/windows_firewall.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace tolm::linkora::doctor {
namespace {

constexpr const char* kCheck = "firewall";
constexpr std::int32_t kUdp = 17;
constexpr std::int32_t kAnyProtocol = 256;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string FileName(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool CoversPort(const std::string& ports, std::uint16_t port) {
    if (ports.empty() || ports == "*") return true;
    std::istringstream items(ports);
    std::string item;
    while (std::getline(items, item, ',')) {
        const std::size_t dash = item.find('-');
        try {
            const unsigned long low = std::stoul(item.substr(0, dash));
            const unsigned long high =
                dash == std::string::npos ? low : std::stoul(item.substr(dash + 1));
            if (low <= port && port <= high) return true;
        } catch (const std::exception&) {
            // Keywords such as "RPC" name no number.
        }
    }
    return false;
}

// Rule paths may use environment variables and any case; the file name decides.
bool ForProgram(const FirewallRule& rule, const std::string& program) {
    return rule.application.empty() ||
           Lower(FileName(rule.application)) == Lower(FileName(program));
}

}  // namespace

std::string ProfileNames(std::int32_t profiles) {
    std::string names;
    const std::pair<std::int32_t, const char*> all[] = {
        {kDomainProfile, "Domain"}, {kPrivateProfile, "Private"}, {kPublicProfile, "Public"}};
    for (const auto& [bit, name] : all)
        if (profiles & bit) names += (names.empty() ? "" : " and ") + std::string(name);
    return names.empty() ? "no profile" : names;
}

std::vector<Finding> WindowsFirewallFindings(const FirewallState& state,
                                             const std::vector<std::string>& programs,
                                             std::uint16_t port) {
    std::vector<Finding> findings;
    const std::string port_text = "UDP port " + std::to_string(port);
    for (const FirewallProfile& p : state.profiles) {
        const std::string profile = ProfileNames(p.type);
        if (!p.enabled) {
            findings.push_back(
                {Level::kOk, kCheck, "the firewall is off for the " + profile + " profile", ""});
            continue;
        }
        if (p.block_all_inbound) {
            findings.push_back(
                {Level::kError, kCheck,
                 "\"Block all incoming connections\" is on for the " + profile +
                     " profile: no answer gets in, whatever the rules",
                 "switch it off in Windows Security, Firewall & network protection, " + profile +
                     " network (an administrator)"});
            continue;
        }
        if (p.local_rules_ignored)
            findings.push_back({Level::kWarning, kCheck,
                                "a policy ignores local firewall rules on the " + profile +
                                    " profile: a rule made on this PC has no effect",
                                "ask the IT department for a policy rule that lets " + port_text +
                                    " in for linkora.exe and the program"});
        for (const std::string& program : programs) {
            if (!state.rules_read) break;
            const std::string file = FileName(program);
            bool allowed = false;
            bool blocked = false;
            for (const FirewallRule& r : state.rules) {
                if (!r.enabled || !r.inbound || !(r.profiles & p.type)) continue;
                if (r.protocol != kUdp && r.protocol != kAnyProtocol) continue;
                if (!CoversPort(r.local_ports, port) || !ForProgram(r, program)) continue;
                if (!r.allow) {
                    // A block rule beats every allow rule: what a dismissed first-start prompt
                    // leaves.
                    findings.push_back({Level::kError, kCheck,
                                        "the block rule \"" + r.name + "\" keeps " + port_text +
                                            " out for " + file + " on the " + profile + " profile",
                                        "delete or disable it in \"Windows Defender Firewall with "
                                        "Advanced Security\", Inbound Rules (an administrator)"});
                    blocked = true;
                    break;
                }
                allowed = true;
            }
            if (blocked) continue;
            if (allowed)
                findings.push_back(
                    {Level::kOk, kCheck,
                     port_text + " is allowed in for " + file + " on the " + profile + " profile",
                     ""});
            else if (p.inbound_blocked_by_default)
                findings.push_back(
                    {Level::kWarning, kCheck,
                     "no rule lets " + port_text + " in for " + file + " on the " + profile +
                         " profile",
                     "as an administrator: netsh advfirewall firewall add rule name=\"" + file +
                         " " + std::to_string(port) +
                         "\" dir=in action=allow protocol=UDP "
                         "localport=" +
                         std::to_string(port) + " program=\"" + program + "\""});
        }
    }
    return findings;
}

}  // namespace tolm::linkora::doctor
