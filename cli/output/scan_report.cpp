#include "cli/output/scan_report.h"

#include <algorithm>
#include <cstdio>

#include "cli/output/csv_text.h"
#include "cli/output/printable.h"
#include "cli/output/table.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

using json = nlohmann::ordered_json;
namespace client = tolm::client;

constexpr std::size_t kAdapterColumn = 11;
constexpr std::size_t kFloodHint = 1000;

json Reported(std::uint8_t flag, json value) {
    return flag == 1 ? std::move(value) : json(nullptr);
}

// Answers through one adapter only need no adapter column.
bool ShowsAdapters(const ScanReport& report) {
    return report.adapters.size() > 1;
}

std::string Plural(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::vector<std::string> ColumnHeadings() {
    return {"IP",  "SN",        "GW",   "DHCP", "Version",  "Type",
            "MAC", "Host name", "DNS1", "DNS2", "Password", "Adapter"};
}

std::vector<std::string> RowTexts(const Answer& answer) {
    const client::ListTexts list = client::ListRowTexts(answer.record);
    std::vector<std::string> row(list.begin(), list.end());
    row.push_back(client::HostNameText(answer.record));
    row.push_back(client::Dns1Text(answer.record));
    row.push_back(client::Dns2Text(answer.record));
    row.push_back(client::PasswordStateText(answer.record));
    row.push_back(answer.adapter.empty() ? client::kNotAvailable : answer.adapter);
    return row;
}

json AnswerJson(const Answer& answer) {
    const TOLM_ModuleScanResponseType& r = answer.record;
    char protocol[16];
    std::snprintf(protocol, sizeof protocol, "%u.%u", r.bProtocolVersionMajor,
                  r.bProtocolVersionMinor);
    // The flags of the DHCP and password states count when nonzero, as in the list.
    const std::uint8_t dhcp_flag = r.bDhcpValid != 0 ? 1 : 0;
    const std::uint8_t password_flag = r.bPswdValid != 0 ? 1 : 0;
    return json{
        {"ip", Reported(r.bIpAddressValid, client::IpText(r.dwIpAddress))},
        {"subnet_mask", Reported(r.bSubnetMaskValid, client::IpText(r.dwSubnetMask))},
        {"gateway", Reported(r.bGatewayValid, client::IpText(r.dwGateway))},
        {"dhcp", Reported(dhcp_flag, r.bDhcpEnabled == 1)},
        {"module_version",
         Reported(r.bModuleVersionValid,
                  client::VersionText(r.bModuleVersionMajor, r.bModuleVersionMinor,
                                      r.wModuleVersionBuild))},
        // The text writes the minor number with two digits, as the list does: 3.2.17 reads
        // "3.02.17", and so the numbers themselves.
        {"module_version_numbers",
         Reported(r.bModuleVersionValid, json::array({r.bModuleVersionMajor, r.bModuleVersionMinor,
                                                      r.wModuleVersionBuild}))},
        {"fb_type", Reported(r.bFbTypeValid, client::FieldText(r.szFbType))},
        {"mac", Reported(r.bMacIdValid, client::MacText(r.abMacId))},
        {"host_name", Reported(r.bHostNameValid, client::FieldText(r.szHostName))},
        {"dns1", Reported(r.bDns1Valid, client::IpText(r.dwDns1))},
        {"dns2", Reported(r.bDns2Valid, client::IpText(r.dwDns2))},
        {"password", Reported(password_flag, r.bPswdEnabled != 0)},
        {"protocol_version", Reported(r.bProtocolVersionValid, std::string(protocol))},
        {"adapter", answer.adapter.empty() ? json(nullptr) : json(answer.adapter)},
        {"sender", answer.sender != 0 ? json(client::IpText(answer.sender)) : json(nullptr)},
    };
}

ScanReport MakeScanReport(const ModuleList& list, std::vector<std::string> adapters, double seconds,
                          std::uint32_t dropped) {
    ScanReport report;
    report.modules = list.Modules();
    report.conflicts = list.Conflicts();
    report.without_mac = list.WithoutMac();
    report.without_mac_count = list.WithoutMacCount();
    report.without_mac_arrivals = list.WithoutMacArrivals();
    report.dropped = dropped;
    report.adapters = std::move(adapters);
    report.seconds = seconds;
    return report;
}

std::string SenderText(const Answer& answer) {
    const std::string sender = answer.sender != 0 ? client::IpText(answer.sender) : "unknown";
    return answer.adapter.empty() ? sender : sender + " via " + answer.adapter;
}

std::string ConflictText(const Conflict& conflict) {
    const std::vector<Answer>& answers = conflict.answers;
    const std::string mac = client::MacText(answers.front().record.abMacId);
    std::vector<std::string> senders;
    for (const Answer& answer : answers) {
        const std::string sender = SenderText(answer);
        if (std::find(senders.begin(), senders.end(), sender) == senders.end())
            senders.push_back(sender);
    }
    std::string names;
    for (const std::string& sender : senders) names += (names.empty() ? "" : ", ") + sender;
    if (senders.size() > 1) return "two or more senders answer as MAC " + mac + ": " + names;
    return "the answers for MAC " + mac + " differ (" + std::to_string(answers.size()) +
           " versions from " + names + ")";
}

std::vector<std::string> ScanWarnings(const ScanReport& report, Format format) {
    std::vector<std::string> lines;
    if (report.modules.empty() && report.without_mac_count == 0)
        lines.push_back(
            "no module answered. Check that the firewall lets UDP port 3250 in (on Windows for "
            "the Public profile too), that the adapter facing the modules is up with an IPv4 "
            "address ('linkora adapters' lists the adapters used), and that no router or VLAN "
            "lies between; modules that answer late need a longer --min-wait-ms. 'linkora doctor' "
            "looks for what stands in the way");
    if (format != Format::kJson)
        for (const Conflict& conflict : report.conflicts)
            lines.push_back(ConflictText(conflict) + "; --format json lists every answer");
    if (format == Format::kCsv && report.without_mac_count > 0)
        lines.push_back(Plural(report.without_mac_count, "answer", "answers") +
                        " without a MAC address not listed");
    // Far more than rounds and adapters repeat: somebody floods the segment.
    if (report.without_mac_arrivals > kFloodHint)
        lines.push_back(std::to_string(report.without_mac_arrivals) +
                        " datagrams that name no module arrived during the scan (a flood on the "
                        "segment?)");
    if (report.dropped > 0)
        lines.push_back(Plural(report.dropped, "answer was", "answers were") +
                        " dropped: more arrived than the library can queue (a flood on the "
                        "segment?); modules may be missing");
    return lines;
}

std::string JsonText(const ScanReport& report) {
    json modules = json::array();
    for (const Answer& answer : report.modules) modules.push_back(AnswerJson(answer));
    json conflicts = json::array();
    for (const Conflict& conflict : report.conflicts) {
        json answers = json::array();
        for (const Answer& answer : conflict.answers) answers.push_back(AnswerJson(answer));
        conflicts.push_back({{"mac", client::MacText(conflict.answers.front().record.abMacId)},
                             {"answers", answers}});
    }
    json without_mac = json::array();
    for (const Answer& answer : report.without_mac) without_mac.push_back(AnswerJson(answer));
    const json document = Document({{"modules", modules},
                                    {"conflicts", conflicts},
                                    {"answers_without_mac", without_mac},
                                    {"answers_without_mac_count", report.without_mac_count},
                                    {"datagrams_without_mac", report.without_mac_arrivals},
                                    {"dropped", report.dropped},
                                    {"adapters", report.adapters},
                                    {"seconds", report.seconds}});
    return JsonText(document, 2) + "\n";
}

std::string CsvText(const ScanReport& report, bool escaped) {
    std::string text = CsvLine(ColumnHeadings());
    for (const Answer& answer : report.modules) {
        std::vector<std::string> row = RowTexts(answer);
        if (escaped)
            for (std::string& cell : row) cell = Printable(cell);
        text += CsvLine(row);
    }
    return text;
}

std::string TableText(const ScanReport& report) {
    Table table(ColumnHeadings());
    for (const Answer& answer : report.modules) table.Add(RowTexts(answer));
    table.Columns(ShowsAdapters(report) ? kAdapterColumn + 1 : kAdapterColumn);
    std::string text = table.Text();
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", report.seconds);
    text += Plural(report.modules.size(), "module", "modules") + " found in " + seconds + " s";
    if (ShowsAdapters(report))
        text += " through " + Plural(report.adapters.size(), "adapter", "adapters");
    text += ".\n";
    if (report.without_mac_count > 0) {
        const bool all_kept = report.without_mac.size() == report.without_mac_count;
        text += Plural(report.without_mac_count, "answer carries", "answers carry") +
                " no MAC address and so no module to list; --format json shows " +
                (!all_kept ? "the first " + std::to_string(report.without_mac.size())
                 : report.without_mac_count == 1 ? std::string("it")
                                                 : std::string("them")) +
                ".\n";
    }
    return text;
}

}  // namespace tolm::linkora
