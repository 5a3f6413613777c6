#include "cli/doctor/linux_filters.h"

#include <nlohmann/json.hpp>
#include <sstream>

namespace tolm::linkora::doctor {
namespace {

using json = nlohmann::json;

constexpr const char* kFirewall = "firewall";

// A port match's right side: a number, a set of numbers and ranges, a range.
bool Covers(const json& right, std::uint16_t port) {
    if (right.is_number_integer()) return right.get<int>() == port;
    if (right.is_object() && right.contains("range")) {
        const json& r = right["range"];
        return r.is_array() && r.size() == 2 && r[0].is_number() && r[1].is_number() &&
               r[0].get<int>() <= port && port <= r[1].get<int>();
    }
    if (right.is_object() && right.contains("set")) {
        for (const json& item : right["set"])
            if (Covers(item, port)) return true;
    }
    return false;
}

enum class Verdict { kNone, kAccept, kDrop };

struct RuleLook {
    bool port = false;   // matches UDP to the port
    bool other = false;  // matches something besides (an address, an interface...)
    Verdict verdict = Verdict::kNone;
};

RuleLook Look(const json& expressions, std::uint16_t port) {
    RuleLook look;
    for (const json& e : expressions) {
        if (e.contains("match")) {
            const json& m = e["match"];
            const json left = m.value("left", json());
            const bool dport = left.is_object() && left.contains("payload") &&
                               left["payload"].value("field", "") == "dport" &&
                               (left["payload"].value("protocol", "") == "udp" ||
                                left["payload"].value("protocol", "") == "th");
            if (dport && (m.value("op", "==") == "==" || m.value("op", "") == "in") &&
                Covers(m.value("right", json()), port))
                look.port = true;
            else if (!(left.is_object() && left.contains("meta") &&
                       left["meta"].value("key", "") == "l4proto"))
                look.other = true;
        } else if (e.contains("accept")) {
            look.verdict = Verdict::kAccept;
        } else if (e.contains("drop") || e.contains("reject")) {
            look.verdict = Verdict::kDrop;
        }
    }
    return look;
}

}  // namespace

std::vector<Finding> NftFindings(const std::string& ruleset_json, std::uint16_t port) {
    const json document = json::parse(ruleset_json);
    std::vector<Finding> findings;
    std::vector<std::string> dropping_inputs;  // "family table chain" of input chains that drop
    bool accepted = false;
    const std::string port_text = "UDP port " + std::to_string(port);
    for (const json& item : document.value("nftables", json::array())) {
        if (item.contains("chain")) {
            const json& c = item["chain"];
            if (c.value("hook", "") == "input" && c.value("policy", "") == "drop")
                dropping_inputs.push_back(c.value("family", "") + " " + c.value("table", "") + " " +
                                          c.value("name", ""));
            continue;
        }
        if (!item.contains("rule")) continue;
        const json& r = item["rule"];
        const RuleLook look = Look(r.value("expr", json::array()), port);
        if (!look.port) continue;
        if (look.verdict == Verdict::kAccept) accepted = true;
        if (look.verdict != Verdict::kDrop) continue;
        const std::string where =
            r.value("family", "") + " " + r.value("table", "") + " " + r.value("chain", "");
        const std::string handle = std::to_string(r.value("handle", 0));
        findings.push_back(
            {Level::kError, kFirewall,
             "an nftables rule drops " + port_text + " (table " + r.value("family", "") + " " +
                 r.value("table", "") + ", chain " + r.value("chain", "") + ", handle " + handle +
                 (look.other ? ", for some senders or adapters" : "") + "): answers never arrive",
             "remove it, as root: nft delete rule " + where + " handle " + handle});
    }
    if (!accepted)
        for (const std::string& chain : dropping_inputs)
            findings.push_back({Level::kWarning, kFirewall,
                                "the nftables input chain " + chain +
                                    " drops what no rule accepts, and no "
                                    "rule accepts " +
                                    port_text,
                                "allow it, as root: nft insert rule " + chain + " udp dport " +
                                    std::to_string(port) + " accept"});
    if (findings.empty())
        findings.push_back({Level::kOk, kFirewall, "no nftables rule drops " + port_text, ""});
    return findings;
}

std::vector<Finding> IptablesFindings(const std::string& saved, std::uint16_t port) {
    std::vector<Finding> findings;
    std::istringstream lines(saved);
    std::string line, table;
    bool accepted = false;
    std::vector<std::string> dropping;  // INPUT chains whose policy drops
    const std::string port_text = std::to_string(port);
    while (std::getline(lines, line)) {
        if (line.rfind('*', 0) == 0) table = line.substr(1);
        if (line.rfind(":INPUT DROP", 0) == 0) dropping.push_back(table);
        if (line.rfind("-A ", 0) != 0) continue;
        std::istringstream words(line);
        std::string word, chain, target, protocol, ports;
        words >> word >> chain;
        while (words >> word) {
            if (word == "-p") words >> protocol;
            if (word == "--dport" || word == "--dports" || word == "--destination-port")
                words >> ports;
            if (word == "-j") words >> target;
        }
        if (protocol != "udp" || ports.empty()) continue;
        bool covers = false;
        std::istringstream items(ports);
        std::string item;
        while (std::getline(items, item, ',')) {
            const std::size_t colon = item.find(':');
            try {
                const unsigned long low = std::stoul(item.substr(0, colon));
                const unsigned long high =
                    colon == std::string::npos ? low : std::stoul(item.substr(colon + 1));
                covers = covers || (low <= port && port <= high);
            } catch (const std::exception&) {
            }
        }
        if (!covers) continue;
        if (target == "ACCEPT") accepted = true;
        if (target == "DROP" || target == "REJECT")
            findings.push_back(
                {Level::kError, kFirewall,
                 "an iptables rule drops UDP port " + port_text + " (table " + table + "): " + line,
                 "remove it, as root: iptables -t " + table + " -D" + line.substr(2)});
    }
    if (!accepted)
        for (const std::string& t : dropping)
            findings.push_back({Level::kWarning, kFirewall,
                                "the iptables INPUT chain of table " + t +
                                    " drops what no rule accepts, and no rule accepts UDP port " +
                                    port_text,
                                "allow it, as root: iptables -t " + t +
                                    " -I INPUT -p udp --dport " + port_text + " -j ACCEPT"});
    if (findings.empty())
        findings.push_back(
            {Level::kOk, kFirewall, "no iptables rule drops UDP port " + port_text, ""});
    return findings;
}

std::vector<Finding> ReversePathFindings(const std::vector<ReversePath>& adapters,
                                         const std::string& default_route) {
    std::vector<Finding> findings;
    for (const ReversePath& a : adapters) {
        // Strict: an answer passes only from where the route back leaves through the same
        // adapter, i.e. its own subnet, unless the default route leaves there. Loose: from
        // anywhere some route leads to, which without a default route is the subnets alone.
        const bool drops =
            (a.mode == 1 && a.adapter != default_route) || (a.mode == 2 && default_route.empty());
        if (!drops) continue;
        findings.push_back(
            {Level::kWarning, "rp_filter",
             std::string(a.mode == 1 ? "strict" : "loose") + " reverse-path filtering on " +
                 a.adapter + (a.mode == 2 ? " without a default route" : "") +
                 " drops answers from modules outside its subnet " + SubnetText(a.net),
             "to see them, as root: sysctl -w net.ipv4.conf.all.rp_filter=" +
                 std::string(a.mode == 1 ? "2" : "0") + " net.ipv4.conf." + a.adapter +
                 ".rp_filter=" + (a.mode == 1 ? "2" : "0")});
    }
    if (findings.empty() && !adapters.empty())
        findings.push_back({Level::kOk, "rp_filter",
                            "reverse-path filtering lets answers from outside the subnets in", ""});
    return findings;
}

}  // namespace tolm::linkora::doctor

namespace tolm::linkora::doctor {

std::optional<std::uint64_t> ProcCounter(const std::string& text, const std::string& group,
                                         const std::string& name) {
    const std::string prefix = group + ":";
    std::istringstream lines(text);
    std::string names, values;
    while (std::getline(lines, names)) {
        if (names.rfind(prefix, 0) != 0 || !std::getline(lines, values)) continue;
        std::istringstream n(names.substr(prefix.size())), v(values.substr(prefix.size()));
        std::string key;
        std::uint64_t value = 0;
        while (n >> key && v >> value)
            if (key == name) return value;
    }
    return std::nullopt;
}

std::vector<Finding> FirewalldFindings(const std::vector<FirewalldZone>& zones,
                                       std::uint16_t port) {
    std::vector<Finding> findings;
    const std::string port_text = std::to_string(port) + "/udp";
    for (const FirewalldZone& z : zones)
        findings.push_back(
            z.port_open
                ? Finding{Level::kOk, "firewalld",
                          "firewalld's zone " + z.zone + " of " + z.adapter + " opens " + port_text,
                          ""}
                : Finding{Level::kWarning, "firewalld",
                          "firewalld's zone " + z.zone + " of " + z.adapter + " does not open " +
                              port_text + ": answers are rejected",
                          "as root: firewall-cmd --zone=" + z.zone + " --add-port=" + port_text +
                              " (and again with --permanent to keep it)"});
    return findings;
}

}  // namespace tolm::linkora::doctor
