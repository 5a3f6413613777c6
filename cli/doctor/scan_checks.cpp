#include "cli/doctor/scan_checks.h"

#include <algorithm>
#include <map>
#include <set>

#include "record_text.h"

namespace tolm::linkora::doctor {
namespace {

constexpr const char* kCheck = "scan";

std::string Plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

const TOLM_AdapterType* AdapterOf(const std::vector<TOLM_AdapterType>& adapters,
                                  const Answer& answer) {
    for (const TOLM_AdapterType& a : adapters)
        if (a.dwIndex == answer.adapter_index && a.dwIndex != 0) return &a;
    return nullptr;
}

std::string SenderText(const Answer& a) {
    return client::IpText(a.sender != 0 ? a.sender : a.record.dwIpAddress);
}

std::string Mac(const Answer& a) {
    return a.record.bMacIdValid ? client::MacText(a.record.abMacId) : std::string("(no MAC)");
}

void DropFindings(const ScanDrops& drops, std::vector<Finding>& findings) {
    if (drops.library > 0)
        findings.push_back({Level::kWarning, kCheck,
                            "the library had no room for " +
                                Plural(drops.library, "answer", "answers") +
                                " (a flood on the segment?)",
                            "find the sender flooding the segment (linkora watch shows it)"});
    const std::uint64_t buffer =
        std::max<std::uint64_t>(drops.socket, drops.kernel ? drops.kernel->receive_buffer : 0);
    if (buffer > 0)
        findings.push_back({Level::kWarning, kCheck,
                            "the kernel dropped " + Plural(buffer, "datagram", "datagrams") +
                                " for a full receive buffer during the scan",
                            "close what floods the segment or the PC's other busy programs, then "
                            "run again"});
    if (drops.kernel && drops.kernel->reverse_path > 0)
        findings.push_back({Level::kWarning, kCheck,
                            "the kernel dropped " +
                                Plural(drops.kernel->reverse_path, "datagram", "datagrams") +
                                " by reverse-path filtering during the scan: modules outside the "
                                "adapter's subnet answered and were not let in",
                            "see the rp_filter finding"});
    if (!drops.kernel)
        findings.push_back(
            CouldNotCheck(kCheck, "the kernel's drop counts (" + drops.kernel_problem + ")"));
}

}  // namespace

std::string ModuleText(const Answer& answer) {
    const std::string name = client::HostNameText(answer.record);
    return Mac(answer) + (name.empty() || name == "N/A" ? "" : " (" + name + ")") + " at " +
           SenderText(answer);
}

std::vector<Finding> ScanFindings(const std::vector<TOLM_AdapterType>& adapters,
                                  const std::vector<std::vector<Answer>>& rounds,
                                  const ScanDrops& drops) {
    std::vector<Finding> findings;
    ModuleList list;
    std::map<std::string, std::set<std::string>> per_adapter;  // adapter: MACs
    std::map<std::string, std::size_t> rounds_answered;        // MAC: rounds
    std::set<std::string> outside;
    for (const std::vector<Answer>& round : rounds) {
        std::set<std::string> this_round;
        for (const Answer& a : round) {
            list.Add(a);
            const std::string mac = Mac(a);
            per_adapter[a.adapter].insert(mac);
            if (a.record.bMacIdValid && this_round.insert(mac).second) ++rounds_answered[mac];
            const TOLM_AdapterType* adapter = AdapterOf(adapters, a);
            const std::uint32_t from = a.sender != 0 ? a.sender : a.record.dwIpAddress;
            if (adapter != nullptr && from != 0 &&
                (from & adapter->dwSubnetMask) != (adapter->dwAddress & adapter->dwSubnetMask) &&
                outside.insert(mac + adapter->szName).second) {
                const Ipv4Net net{adapter->dwAddress, adapter->dwSubnetMask};
                findings.push_back(
                    {Level::kWarning, kCheck,
                     ModuleText(a) + " answered through " + client::FieldText(adapter->szName) +
                         " from outside its subnet " + SubnetText(net) +
                         ": linkora sees it, other tools and the module's own services cannot "
                         "reach it",
                     "give it an address on " + SubnetText(net) + ": linkora set " + mac +
                         " --ip ADDRESS"});
            }
        }
    }
    std::map<std::uint32_t, std::vector<std::string>> by_ip;
    for (const Answer& a : list.Modules())
        if (a.record.bIpAddressValid) by_ip[a.record.dwIpAddress].push_back(Mac(a));
    for (const auto& [ip, macs] : by_ip) {
        if (macs.size() < 2) continue;
        std::string names;
        for (const std::string& m : macs) names += (names.empty() ? "" : ", ") + m;
        findings.push_back({Level::kError, kCheck,
                            client::IpText(ip) + " is the address of " +
                                std::to_string(macs.size()) + " modules: " + names,
                            "give each its own: linkora set MAC --ip ADDRESS (linkora check "
                            "lists what else is wrong)"});
    }
    for (const Conflict& c : list.Conflicts())
        findings.push_back({Level::kError, kCheck,
                            "MAC " + Mac(c.answers.front()) + " answers " +
                                std::to_string(c.answers.size()) +
                                " ways (two devices with one MAC, or a sender that forges answers)",
                            "linkora scan --format json lists every answer; unplug one to tell "
                            "them apart"});
    std::size_t missed = 0;
    for (const auto& [mac, count] : rounds_answered)
        if (count < rounds.size()) ++missed;
    if (missed > 0)
        findings.push_back({Level::kWarning, kCheck,
                            Plural(missed, "module", "modules") + " of " +
                                std::to_string(rounds_answered.size()) + " answered in some of " +
                                std::to_string(rounds.size()) +
                                " rounds only: answers are lost on the way",
                            "check cables, switch ports and Wi-Fi links on the way; linkora "
                            "scans in rounds so that a lost answer is asked again"});
    DropFindings(drops, findings);
    std::set<std::uint32_t> told;  // an interface with two addresses is told once
    for (const TOLM_AdapterType& a : adapters) {
        const std::string name = client::FieldText(a.szName);
        if (per_adapter.count(name) > 0 || !told.insert(a.dwIndex).second) continue;
        findings.push_back({list.ModuleCount() == 0 ? Level::kWarning : Level::kInfo, kCheck,
                            "no module answered through " + name + " (" +
                                NetText({a.dwAddress, a.dwSubnetMask}) + ")",
                            list.ModuleCount() == 0
                                ? "see the findings above; else check the cable and that the "
                                  "modules are powered and on this segment"
                                : ""});
    }
    if (adapters.empty() && list.ModuleCount() == 0)
        findings.push_back({Level::kWarning, kCheck, "no module answered", ""});
    for (const auto& [adapter, macs] : per_adapter)
        findings.push_back({Level::kOk, kCheck,
                            Plural(macs.size(), "module", "modules") + " answered through " +
                                (adapter.empty() ? std::string("an unknown adapter") : adapter),
                            ""});
    return findings;
}

}  // namespace tolm::linkora::doctor
