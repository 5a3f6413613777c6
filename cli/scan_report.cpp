#include "scan_report.h"

#include <algorithm>
#include <cstdio>

#include "record_text.h"

namespace tolm::linkora {
namespace {

using json = nlohmann::ordered_json;
namespace client = tolm::client;

constexpr std::size_t kAdapterColumn = 11;

json Reported(std::uint8_t flag, json value) {
    return flag == 1 ? std::move(value) : json(nullptr);
}

// Answers through one adapter only need no adapter column.
bool ShowsAdapters(const ScanReport& report) {
    return report.adapters.size() > 1;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (const char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + CsvField(fields[i]);
    return line + "\n";
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

std::string JsonText(const json& value, int indent) {
    return value.dump(indent, ' ', false, json::error_handler_t::replace);
}

std::string JsonText(const ScanReport& report) {
    json modules = json::array();
    for (const Answer& answer : report.modules) modules.push_back(AnswerJson(answer));
    json without_mac = json::array();
    for (const Answer& answer : report.without_mac) without_mac.push_back(AnswerJson(answer));
    const json document{{"modules", modules},
                        {"answers_without_mac", without_mac},
                        {"adapters", report.adapters},
                        {"seconds", report.seconds}};
    return JsonText(document, 2) + "\n";
}

std::string CsvText(const ScanReport& report) {
    std::string text = CsvLine(ColumnHeadings());
    for (const Answer& answer : report.modules) text += CsvLine(RowTexts(answer));
    return text;
}

std::string TableText(const ScanReport& report) {
    std::vector<std::vector<std::string>> rows{ColumnHeadings()};
    for (const Answer& answer : report.modules) rows.push_back(RowTexts(answer));
    const std::size_t columns = ShowsAdapters(report) ? kAdapterColumn + 1 : kAdapterColumn;
    std::vector<std::size_t> widths(columns, 0);
    for (const auto& row : rows)
        for (std::size_t c = 0; c < columns; ++c) widths[c] = std::max(widths[c], row[c].size());
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < columns; ++c)
            line +=
                row[c] + (c + 1 < columns ? std::string(widths[c] - row[c].size() + 2, ' ') : "");
        text += line + "\n";
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f", report.seconds);
    text += Plural(report.modules.size(), "module", "modules") + " found in " + seconds + " s";
    if (ShowsAdapters(report))
        text += " through " + Plural(report.adapters.size(), "adapter", "adapters");
    text += ".\n";
    if (!report.without_mac.empty())
        text += Plural(report.without_mac.size(), "answer carries", "answers carry") +
                " no MAC address and so no module to list; --format json shows " +
                (report.without_mac.size() == 1 ? "it" : "them") + ".\n";
    return text;
}

}  // namespace tolm::linkora
