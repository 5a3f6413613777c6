#include <dirent.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>

#include "cli/doctor/linux_filters.h"
#include "cli/platform/doctor_reading.h"

namespace tolm::linkora::doctor {
namespace {

std::optional<std::string> FileText(const std::string& path) {
    std::ifstream file(path);
    if (!file) return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

std::uint32_t HostOrder(const sockaddr* address) {
    return ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
}

struct Run {
    int status = -1;  // 127: not found
    std::string output;
};

// Runs a reading command through the shell, standard error with its output;
// /usr/sbin is where Debian keeps nft and firewall-cmd, off a user's PATH.
Run RunCommand(const std::string& command) {
    Run run;
    const std::string line = "PATH=\"$PATH:/usr/sbin:/sbin\" " + command + " 2>&1";
    std::FILE* pipe = ::popen(line.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, got);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

bool Denied(const Run& run) {
    return run.output.find("Operation not permitted") != std::string::npos ||
           run.output.find("ermission denied") != std::string::npos;
}

void NftAndIptables(std::uint16_t port, std::vector<Finding>& findings) {
    const Run nft = RunCommand("nft -j list ruleset");
    bool read = false;
    if (nft.status == 0) {
        try {
            const std::vector<Finding> found = NftFindings(nft.output, port);
            findings.insert(findings.end(), found.begin(), found.end());
            read = true;
        } catch (const std::exception&) {
            findings.push_back(CouldNotCheck("firewall", "nftables rules (nft printed no JSON)"));
        }
    } else if (nft.status == 127) {
        findings.push_back(CouldNotCheck(
            "firewall", "nftables rules (nft is not installed: apt install nftables)"));
    } else {
        findings.push_back(CouldNotCheck(
            "firewall",
            "nftables rules (" +
                (Denied(nft) ? std::string("reading them needs root: sudo linkora doctor")
                             : FirstLine(nft.output)) +
                ")"));
    }
    // iptables-nft's rules are nftables rules as well; iptables-save adds the legacy ones.
    const Run saved = RunCommand("iptables-save");
    if (saved.status == 0) {
        const std::vector<Finding> found = IptablesFindings(saved.output, port);
        for (const Finding& f : found)
            if (f.level != Level::kOk || !read) findings.push_back(f);
    } else if (saved.status != 127 || !read) {
        findings.push_back(CouldNotCheck(
            "firewall", "iptables rules (" +
                            (saved.status == 127 ? std::string("iptables-save is not installed")
                             : Denied(saved)     ? std::string("reading them needs root")
                                                 : FirstLine(saved.output)) +
                            ")"));
    }
}

void Firewalld(const std::vector<NetInterface>& interfaces, std::uint16_t port,
               std::vector<Finding>& findings) {
    const Run state = RunCommand("firewall-cmd --state");
    if (state.status == 127 || state.output.find("not running") != std::string::npos) return;
    if (state.status != 0) {
        findings.push_back(
            CouldNotCheck("firewalld", "firewalld's zones (" + FirstLine(state.output) + ")"));
        return;
    }
    std::vector<FirewalldZone> zones;
    for (const NetInterface& i : interfaces) {
        if (!i.up || i.ipv4.empty() || i.kind == AdapterKind::kLoopback) continue;
        Run zone = RunCommand("firewall-cmd --get-zone-of-interface='" + i.name + "'");
        if (zone.status != 0) zone = RunCommand("firewall-cmd --get-default-zone");
        const std::string name = FirstLine(zone.output);
        const Run open = RunCommand("firewall-cmd --zone='" + name +
                                    "' --query-port=" + std::to_string(port) + "/udp");
        zones.push_back({i.name, name, FirstLine(open.output) == "yes"});
    }
    const std::vector<Finding> found = FirewalldFindings(zones, port);
    findings.insert(findings.end(), found.begin(), found.end());
}

int RpFilter(const std::string& adapter) {
    const std::optional<std::string> text =
        FileText("/proc/sys/net/ipv4/conf/" + adapter + "/rp_filter");
    return text ? std::atoi(text->c_str()) : -1;
}

void ReversePathFiltering(const std::vector<NetInterface>& interfaces,
                          const std::string& default_route, std::vector<Finding>& findings) {
    const int all = RpFilter("all");
    if (all < 0) {
        findings.push_back(CouldNotCheck("rp_filter", "reverse-path filtering (no /proc/sys)"));
        return;
    }
    std::vector<ReversePath> adapters;
    for (const NetInterface& i : interfaces) {
        if (!i.up || i.ipv4.empty() || i.kind == AdapterKind::kLoopback) continue;
        adapters.push_back({i.name, i.ipv4.front(), std::max(all, RpFilter(i.name))});
    }
    const std::vector<Finding> found = ReversePathFindings(adapters, default_route);
    findings.insert(findings.end(), found.begin(), found.end());
}

}  // namespace

Reading<std::vector<NetInterface>> ReadInterfaces() {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return {std::nullopt, "getifaddrs failed"};
    std::vector<NetInterface> interfaces;
    std::map<std::string, std::size_t> at;
    for (const ifaddrs* a = list; a != nullptr; a = a->ifa_next) {
        auto [slot, added] = at.emplace(a->ifa_name, interfaces.size());
        if (added) {
            NetInterface i;
            i.name = a->ifa_name;
            i.index = ::if_nametoindex(a->ifa_name);
            i.up = (a->ifa_flags & IFF_UP) && (a->ifa_flags & IFF_RUNNING);
            const std::string sys = "/sys/class/net/" + i.name;
            i.kind = (a->ifa_flags & IFF_LOOPBACK) ? AdapterKind::kLoopback
                     : Exists(sys + "/wireless") || Exists(sys + "/phy80211")
                         ? AdapterKind::kWireless
                     : Exists(sys + "/tun_flags") ? AdapterKind::kVirtual
                                                  : AdapterKind::kEthernet;
            interfaces.push_back(i);
        }
        if (a->ifa_addr != nullptr && a->ifa_addr->sa_family == AF_INET &&
            a->ifa_netmask != nullptr)
            interfaces[slot->second].ipv4.push_back(
                {HostOrder(a->ifa_addr), HostOrder(a->ifa_netmask)});
    }
    ::freeifaddrs(list);
    return {interfaces, ""};
}

Reading<std::string> ReadDefaultRoute() {
    const std::optional<std::string> text = FileText("/proc/net/route");
    if (!text) return {std::nullopt, "/proc/net/route cannot be read"};
    std::istringstream lines(*text);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string name, destination, gateway, flags, refs, use, metric, mask;
        if (fields >> name >> destination >> gateway >> flags >> refs >> use >> metric >> mask &&
            destination == "00000000" && mask == "00000000")
            return {name, ""};
    }
    return {std::string(), ""};
}

Reading<std::vector<PortHolder>> ReadPortHolders(std::uint16_t port) {
    const std::optional<std::string> text = FileText("/proc/net/udp");
    if (!text) return {std::nullopt, "/proc/net/udp cannot be read"};
    std::vector<PortHolder> holders = ParseProcNetUdp(*text, port);
    if (holders.empty()) return {holders, ""};
    // A socket's owner is the process with a descriptor on its inode; another user's
    // descriptors only root may read.
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) return {holders, ""};
    while (const dirent* entry = ::readdir(proc)) {
        const std::string pid = entry->d_name;
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        const std::string fd_folder = "/proc/" + pid + "/fd";
        DIR* fds = ::opendir(fd_folder.c_str());
        if (fds == nullptr) continue;
        while (const dirent* fd = ::readdir(fds)) {
            char target[64] = {};
            const std::string link = fd_folder + "/" + fd->d_name;
            if (::readlink(link.c_str(), target, sizeof target - 1) <= 0) continue;
            for (PortHolder& h : holders)
                if (!h.pid && std::string(target) == "socket:[" + std::to_string(h.inode) + "]") {
                    h.pid = static_cast<std::uint32_t>(std::stoul(pid));
                    h.program = FirstLine(FileText("/proc/" + pid + "/comm").value_or(""));
                }
        }
        ::closedir(fds);
    }
    ::closedir(proc);
    return {holders, ""};
}

std::uint32_t OwnProcessId() {
    return static_cast<std::uint32_t>(::getpid());
}

Reading<KernelDrops> ReadKernelDrops() {
    const std::optional<std::string> snmp = FileText("/proc/net/snmp");
    const std::optional<std::string> netstat = FileText("/proc/net/netstat");
    if (!snmp) return {std::nullopt, "/proc/net/snmp cannot be read"};
    KernelDrops drops;
    drops.receive_buffer = ProcCounter(*snmp, "Udp", "RcvbufErrors").value_or(0);
    drops.errors = ProcCounter(*snmp, "Udp", "InErrors").value_or(0);
    if (netstat)
        drops.reverse_path = ProcCounter(*netstat, "TcpExt", "IPReversePathFilter").value_or(0);
    return {drops, ""};
}

std::vector<Finding> FirewallFindings(const std::vector<NetInterface>& interfaces,
                                      const std::string& default_route, std::uint16_t port) {
    std::vector<Finding> findings;
    NftAndIptables(port, findings);
    Firewalld(interfaces, port, findings);
    ReversePathFiltering(interfaces, default_route, findings);
    return findings;
}

std::string StaticAddressCommand(const std::string& adapter) {
    return "sudo ip address add 192.168.1.10/24 dev " + adapter +
           " (an address on the modules' subnet)";
}

}  // namespace tolm::linkora::doctor
