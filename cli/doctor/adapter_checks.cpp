#include "cli/doctor/adapter_checks.h"

#include <algorithm>
#include <cctype>

#include "cli/platform/doctor_reading.h"
#include "record_text.h"

namespace tolm::linkora::doctor {
namespace {

constexpr const char* kCheck = "adapters";

bool LinkLocal(std::uint32_t address) {
    return (address >> 16) == 0xA9FE;  // 169.254.0.0/16
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Nets(const NetInterface& i) {
    std::string text;
    for (const Ipv4Net& net : i.ipv4) text += (text.empty() ? "" : ", ") + NetText(net);
    return text;
}

}  // namespace

bool LooksVirtual(const std::string& name, const std::string& description) {
    static const char* const kNamePrefixes[] = {"tun",       "tap",     "docker", "br-",
                                                "virbr",     "vboxnet", "vmnet",  "wg",
                                                "tailscale", "zt",      "ppp",    "veth"};
    static const char* const kWords[] = {
        "tap-",  "tap ",     "tun", "hyper-v",   "virtualbox", "vmware", "wsl",     "vethernet",
        "npcap", "loopback", "vpn", "wireguard", "openvpn",    "docker", "virtual", "pseudo"};
    const std::string n = Lower(name);
    const std::string d = Lower(description);
    for (const char* prefix : kNamePrefixes)
        if (n.rfind(prefix, 0) == 0) return true;
    for (const char* word : kWords)
        if (d.find(word) != std::string::npos || n.find(word) != std::string::npos) return true;
    return false;
}

std::vector<Finding> AdapterFindings(const std::vector<NetInterface>& interfaces,
                                     const std::string& default_route) {
    std::vector<Finding> findings;
    std::vector<const NetInterface*> usable;  // up, not loopback, with a routable IPv4 address
    bool wireless = false;
    bool wired = false;
    for (const NetInterface& i : interfaces) {
        if (!i.up || i.kind == AdapterKind::kLoopback) continue;
        const bool routable = std::any_of(i.ipv4.begin(), i.ipv4.end(),
                                          [](const Ipv4Net& n) { return !LinkLocal(n.address); });
        if (i.ipv4.empty()) {
            findings.push_back({Level::kWarning, kCheck,
                                i.name + " is up but has no IPv4 address: modules behind it "
                                         "cannot be reached",
                                "give it a static address on the modules' subnet: " +
                                    StaticAddressCommand(i.name)});
        } else if (!routable) {
            findings.push_back({Level::kWarning, kCheck,
                                i.name + " has only the link-local address " + Nets(i) +
                                    " (no DHCP server answered): modules with static addresses "
                                    "are on another subnet",
                                "give it a static address on the modules' subnet: " +
                                    StaticAddressCommand(i.name)});
        } else {
            usable.push_back(&i);
        }
        if (i.kind == AdapterKind::kWireless) wireless = true;
        if (i.kind == AdapterKind::kEthernet && !i.ipv4.empty()) wired = true;
        if (i.kind == AdapterKind::kVirtual || LooksVirtual(i.name, i.description)) {
            const bool routed = i.name == default_route;
            findings.push_back(
                {routed ? Level::kWarning : Level::kInfo, kCheck,
                 i.name + (i.description.empty() ? "" : " (" + i.description + ")") +
                     " is a virtual or VPN adapter" +
                     (routed ? " and the default route goes through it: the program's scan "
                               "leaves there, not towards the modules"
                             : ""),
                 routed ? "disconnect the VPN or disable the adapter while scanning; linkora "
                          "scans through every adapter"
                        : ""});
        }
    }
    if (usable.empty())
        findings.insert(findings.begin(),
                        {Level::kError, kCheck, "no adapter is up with an IPv4 address",
                         "connect the cable or switch the adapter on, and give it an address on "
                         "the modules' subnet"});
    for (std::size_t a = 0; a < usable.size(); ++a)
        for (std::size_t b = a + 1; b < usable.size(); ++b)
            for (const Ipv4Net& x : usable[a]->ipv4)
                for (const Ipv4Net& y : usable[b]->ipv4)
                    if (!LinkLocal(x.address) && x.mask == y.mask &&
                        (x.address & x.mask) == (y.address & y.mask))
                        findings.push_back(
                            {Level::kWarning, kCheck,
                             usable[a]->name + " (" + NetText(x) + ") and " + usable[b]->name +
                                 " (" + NetText(y) + ") are on one subnet " + SubnetText(x) +
                                 ": answers arrive on either and the program's scan leaves "
                                 "through one only",
                             "disable one of them or move it to another subnet"});
    if (wireless && wired)
        findings.push_back({Level::kInfo, kCheck,
                            "Wi-Fi and Ethernet are both up: the program's scan leaves through "
                            "the default route's adapter (" +
                                (default_route.empty() ? std::string("none") : default_route) +
                                ") only",
                            "switch Wi-Fi off while scanning with the program; linkora scans "
                            "through both"});
    if (!usable.empty()) {
        std::string list;
        for (const NetInterface* i : usable)
            list += (list.empty() ? "" : ", ") + i->name + " " + Nets(*i);
        findings.push_back(
            {Level::kOk, kCheck,
             std::to_string(usable.size()) + (usable.size() == 1 ? " adapter" : " adapters") +
                 " up with IPv4: " + list +
                 (default_route.empty() ? "; no default route"
                                        : "; default route through " + default_route),
             ""});
    }
    return findings;
}

}  // namespace tolm::linkora::doctor
