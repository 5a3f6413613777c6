// doctor's judgements from recorded answers: nft's JSON and iptables-save as
// Debian prints them, /proc/net/udp, the Windows Firewall's rules, adapters
// and a scan in rounds.
#include <gtest/gtest.h>

#include <cstring>

#include "cli/doctor/adapter_checks.h"
#include "cli/doctor/linux_filters.h"
#include "cli/doctor/port_checks.h"
#include "cli/doctor/scan_checks.h"
#include "cli/doctor/windows_firewall.h"
#include "record_builder.h"

namespace tolm::linkora::doctor {
namespace {

std::string Levels(const std::vector<Finding>& findings) {
    std::string text;
    for (const Finding& f : findings) text += std::string(LevelName(f.level)) + " ";
    return text;
}

bool Says(const std::vector<Finding>& findings, const std::string& words) {
    for (const Finding& f : findings)
        if (f.seen.find(words) != std::string::npos || f.todo.find(words) != std::string::npos)
            return true;
    return false;
}

// nft 1.0.6: policy drop, established accepted, UDP 3000-3300 and 5000 dropped from 10/8.
const char* const kRuleset =
    R"({"nftables": [{"metainfo": {"version": "1.0.6", "json_schema_version": 1}},)"
    R"({"table": {"family": "inet", "name": "filter", "handle": 1}},)"
    R"({"chain": {"family": "inet", "table": "filter", "name": "input", "handle": 1, "type": "filter", "hook": "input", "prio": 0, "policy": "drop"}},)"
    R"({"rule": {"family": "inet", "table": "filter", "chain": "input", "handle": 2, "expr": [{"match": {"op": "in", "left": {"ct": {"key": "state"}}, "right": "established"}}, {"accept": null}]}},)"
    R"({"rule": {"family": "inet", "table": "filter", "chain": "input", "handle": 4, "expr": [{"match": {"op": "==", "left": {"payload": {"protocol": "ip", "field": "saddr"}}, "right": {"prefix": {"addr": "10.0.0.0", "len": 8}}}}, {"match": {"op": "==", "left": {"payload": {"protocol": "udp", "field": "dport"}}, "right": {"set": [{"range": [3000, 3300]}, 5000]}}}, {"drop": null}]}},)"
    R"({"rule": {"family": "inet", "table": "filter", "chain": "input", "handle": 5, "expr": [{"match": {"op": "==", "left": {"payload": {"protocol": "tcp", "field": "dport"}}, "right": 22}}, {"accept": null}]}}]})";

TEST(DoctorFilters, NftablesRulesThatDropThePortAndInputPoliciesThatDo) {
    const std::vector<Finding> found = NftFindings(kRuleset, 3250);
    EXPECT_EQ(Levels(found), "error warning ");
    EXPECT_TRUE(Says(found, "nft delete rule inet filter input handle 4"));
    EXPECT_TRUE(Says(found, "for some senders"));
    EXPECT_TRUE(Says(found, "nft insert rule inet filter input udp dport 3250 accept"));
    // Another port in the set is no finding; a rule that accepts the port quiets the policy.
    EXPECT_EQ(Levels(NftFindings(kRuleset, 5001)), "warning ");
    std::string accepting = kRuleset;
    accepting.replace(accepting.find("\"right\": 22"), 11,
                      "\"right\": 22}}, {\"match\": {\"op\": \"==\", \"left\": {\"payload\": "
                      "{\"protocol\": \"udp\", \"field\": \"dport\"}}, \"right\": 3250");
    EXPECT_EQ(Levels(NftFindings(accepting, 3250)), "error ");
    EXPECT_THROW(NftFindings("nft: Operation not permitted", 3250), std::exception);
}

TEST(DoctorFilters, IptablesSaveAndReversePathFiltering) {
    const std::string saved =
        "*filter\n:INPUT DROP [0:0]\n:FORWARD ACCEPT [0:0]\n"
        "-A INPUT -p udp -m multiport --dports 161,3200:3300 -j REJECT --reject-with "
        "icmp-port-unreachable\n-A INPUT -p tcp -m tcp --dport 3250 -j ACCEPT\nCOMMIT\n";
    const std::vector<Finding> found = IptablesFindings(saved, 3250);
    EXPECT_EQ(Levels(found), "error warning ");
    EXPECT_TRUE(
        Says(found, "iptables -t filter -D INPUT -p udp -m multiport --dports 161,3200:3300"));
    EXPECT_EQ(Levels(IptablesFindings(saved + "-A INPUT -p udp --dport 3250 -j ACCEPT\n", 3250)),
              "error ");

    const Ipv4Net net{0x0A4D0101, 0xFFFFFF00};
    // Strict drops where the route back leaves elsewhere; loose only without a default route.
    const std::vector<Finding> rp =
        ReversePathFindings({{"tl0", {0x0A4D0001, 0xFFFFFF00}, 1}, {"tl1", net, 1}}, "tl0");
    EXPECT_EQ(Levels(rp), "warning ");
    EXPECT_TRUE(Says(rp, "strict reverse-path filtering on tl1") && Says(rp, "10.77.1.0/24"));
    EXPECT_EQ(Levels(ReversePathFindings({{"tl1", net, 2}}, "tl0")), "ok ");
    EXPECT_EQ(Levels(ReversePathFindings({{"tl1", net, 2}}, "")), "warning ");

    const std::string snmp =
        "Ip: Forwarding DefaultTTL\nIp: 1 64\nUdp: InDatagrams NoPorts InErrors OutDatagrams "
        "RcvbufErrors\nUdp: 120 3 7 50 5\nUdpLite: InDatagrams InErrors\nUdpLite: 0 0\n";
    EXPECT_EQ(ProcCounter(snmp, "Udp", "RcvbufErrors"), 5u);
    EXPECT_EQ(ProcCounter(snmp, "Udp", "InErrors"), 7u);
    EXPECT_FALSE(ProcCounter(snmp, "TcpExt", "IPReversePathFilter"));
}

TEST(DoctorPort, HoldersFromProcNetUdpAndWhatTheySay) {
    const std::string udp =
        "   sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  "
        "timeout inode ref pointer drops\n"
        "  512: 0100007F:0CB2 00000000:0000 07 00000000:00000000 00:00000000 00000000  1000    "
        "    0 104239 2 00000000e55a2d21 3\n"
        "  513: 00000000:0CB3 00000000:0000 07 00000000:00000000 00:00000000 00000000     0    "
        "    0 104240 2 00000000e55a2d22 0\n";
    std::vector<PortHolder> holders = ParseProcNetUdp(udp, 3250);
    ASSERT_EQ(holders.size(), 1u);
    EXPECT_EQ(holders[0].local_address, 0x7F000001u);
    EXPECT_EQ(holders[0].inode, 104239u);
    EXPECT_EQ(holders[0].drops, 3u);

    // Unseen owner (another user's, not root): its user id, and who could tell more.
    std::vector<Finding> found = PortFindings(holders, 77, "UDP port 3250 is taken", 3250);
    EXPECT_EQ(Levels(found), "error ");
    EXPECT_TRUE(Says(found, "a process of user id 1000 on 127.0.0.1") && Says(found, "root"));
    holders[0].pid = 42;
    holders[0].program = "python3";
    EXPECT_TRUE(Says(PortFindings(holders, 77, "taken", 3250), "close PID 42 (python3)"));
    // Shared through SO_REUSEADDR: linkora listens, another may take the answers.
    EXPECT_EQ(Levels(PortFindings(holders, 77, "", 3250)), "warning ");
    EXPECT_EQ(Levels(PortFindings(holders, 42, "", 3250)), "ok ");
}

TEST(DoctorAdapters, WhatKeepsAScanFromTheModules) {
    const std::uint32_t mask = 0xFFFFFF00;
    std::vector<NetInterface> interfaces = {
        {"lo", "", 1, true, AdapterKind::kLoopback, {{0x7F000001, 0xFF000000}}},
        {"tl0", "", 2, true, AdapterKind::kEthernet, {{0x0A4D0001, mask}}},
        {"nocable", "", 3, false, AdapterKind::kEthernet, {}},
        {"bare", "", 4, true, AdapterKind::kEthernet, {}},
        {"direct", "", 5, true, AdapterKind::kEthernet, {{0xA9FE0304, 0xFFFF0000}}},
        {"twin", "", 6, true, AdapterKind::kEthernet, {{0x0A4D00C8, mask}}},
    };
    std::vector<Finding> found = AdapterFindings(interfaces, "tl0");
    EXPECT_EQ(Levels(found), "warning warning warning ok ");
    EXPECT_TRUE(Says(found, "bare is up but has no IPv4 address"));
    EXPECT_TRUE(Says(found, "link-local address 169.254.3.4/16"));
    EXPECT_TRUE(Says(found, "tl0 (10.77.0.1/24) and twin (10.77.0.200/24) are on one subnet"));

    interfaces.resize(2);
    interfaces.push_back(
        {"Wi-Fi", "Intel(R) Wi-Fi 6 AX201", 7, true, AdapterKind::kWireless, {{0xC0A80002, mask}}});
    interfaces.push_back({"OpenVPN",
                          "TAP-Windows Adapter V9",
                          8,
                          true,
                          AdapterKind::kEthernet,
                          {{0x0A080002, mask}}});
    found = AdapterFindings(interfaces, "OpenVPN");
    EXPECT_EQ(Levels(found), "warning info ok ");
    EXPECT_TRUE(Says(found, "the default route goes through it"));
    EXPECT_TRUE(Says(found, "Wi-Fi and Ethernet are both up"));
    EXPECT_TRUE(LooksVirtual("vEthernet (WSL)", "Hyper-V Virtual Ethernet Adapter"));
    EXPECT_TRUE(LooksVirtual("Ethernet 3", "Npcap Loopback Adapter"));
    EXPECT_TRUE(LooksVirtual("docker0", ""));
    EXPECT_FALSE(LooksVirtual("Ethernet", "Intel(R) Ethernet Connection I219-LM"));
    EXPECT_EQ(Levels(AdapterFindings({interfaces[0]}, "")), "error ");
}

TEST(DoctorFirewall, WindowsRulesProfilesAndTheBlockRuleThatBeatsAnAllow) {
    FirewallState state;
    state.profiles = {{kPublicProfile, true, false, true, false},
                      {kDomainProfile, true, true, true, false},
                      {kPrivateProfile, true, false, true, true}};
    const std::string folder = "C:\\Program Files\\Brannic\\";
    // What a dismissed first-start prompt leaves: a block rule for the program, every port.
    state.rules = {
        {"Brannic Linkora CFG", "c:\\program files\\brannic\\brannic linkora cfg.exe", 17, "*",
         true, false, true, kPublicProfile | kPrivateProfile},
        {"Brannic Linkora CFG", folder + "Brannic Linkora CFG.exe", 256, "", true, true, true,
         kPublicProfile},
        {"linkora 3250", "%ProgramFiles%\\Brannic\\linkora.exe", 17, "3000-3300", true, true, true,
         kPublicProfile},
        {"off", folder + "linkora.exe", 17, "3250", true, false, false, kPrivateProfile},
        {"tcp", folder + "linkora.exe", 6, "3250", true, false, true, kPrivateProfile},
    };
    const std::vector<Finding> found = WindowsFirewallFindings(
        state, {folder + "linkora.exe", folder + "Brannic Linkora CFG.exe"}, 3250);
    EXPECT_EQ(Levels(found), "ok error error warning warning error ");
    EXPECT_TRUE(Says(found, "UDP port 3250 is allowed in for linkora.exe on the Public profile"));
    EXPECT_TRUE(Says(found, "\"Block all incoming connections\" is on for the Domain profile"));
    EXPECT_TRUE(Says(found, "ignores local firewall rules on the Private profile"));
    EXPECT_TRUE(Says(found, "netsh advfirewall firewall add rule name=\"linkora.exe 3250\""));
    EXPECT_EQ(ProfileNames(kPrivateProfile | kPublicProfile), "Private and Public");
    // Rules that could not be read are no rules: only the profiles are judged.
    state.rules_read = false;
    EXPECT_EQ(Levels(WindowsFirewallFindings(state, {folder + "linkora.exe"}, 3250)),
              "error warning ");
}

TEST(DoctorScan, PerAdapterOutsideTheSubnetDuplicatesLossAndDrops) {
    TOLM_AdapterType tl0{}, tl1{};
    std::strcpy(tl0.szName, "tl0");
    tl0.dwIndex = 2;
    tl0.dwAddress = 0x0A4D0001;
    tl0.dwSubnetMask = 0xFFFFFF00;
    tl1 = tl0;
    std::strcpy(tl1.szName, "tl1");
    tl1.dwIndex = 3;
    tl1.dwAddress = 0x0A4D0101;
    const auto at = [](std::uint8_t mac, std::uint32_t ip, const TOLM_AdapterType& a) {
        Answer answer = MakeAnswer(mac, ip);
        answer.adapter = a.szName;
        answer.adapter_index = a.dwIndex;
        answer.sender = ip;
        return answer;
    };
    const Answer one = at(1, 0x0A4D0065, tl0), two = at(2, 0x0A4D0065, tl0);
    const Answer far = at(3, 0xC0A80965, tl0);
    const std::vector<std::vector<Answer>> rounds = {{one, two, far}, {one, far}, {one, two, far}};
    std::vector<Finding> found = ScanFindings({tl0, tl1}, rounds, {0, 0, KernelDrops{4, 4, 0}, ""});
    EXPECT_EQ(Levels(found), "warning error warning warning info ok ");
    EXPECT_TRUE(Says(found,
                     "02-00-00-00-00-03 at 192.168.9.101 answered through tl0 from outside "
                     "its subnet 10.77.0.0/24"));
    EXPECT_TRUE(Says(found, "10.77.0.101 is the address of 2 modules"));
    EXPECT_TRUE(Says(found, "1 module of 3 answered in some of 3 rounds only"));
    EXPECT_TRUE(Says(found, "dropped 4 datagrams for a full receive buffer"));
    EXPECT_TRUE(Says(found, "no module answered through tl1"));

    // Nothing at all, and no kernel counts: a warning per adapter, and no pass for the counts.
    found = ScanFindings({tl0}, {{}, {}}, {0, 0, std::nullopt, "no /proc"});
    EXPECT_EQ(Levels(found), "info warning ");
    EXPECT_FALSE(found[0].checked);
    EXPECT_TRUE(StandsInTheWay(found));
    EXPECT_FALSE(StandsInTheWay({found[0]}));
}

}  // namespace
}  // namespace tolm::linkora::doctor
