#include "adapter_report.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "cli/scan_report.h"
#include "printable.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

// The library lists only adapters that are up: those are the ones it uses.
constexpr const char* kState = "up";

std::vector<std::string> Row(const TOLM_AdapterType& a) {
    return {Printable(client::FieldText(a.szName)), client::IpText(a.dwAddress),
            client::IpText(a.dwSubnetMask), client::IpText(a.dwBroadcast), kState};
}

}  // namespace

std::string AdaptersTable(const std::vector<TOLM_AdapterType>& adapters) {
    std::vector<std::vector<std::string>> rows{
        {"Adapter", "Address", "Subnet mask", "Broadcast", "State"}};
    for (const TOLM_AdapterType& a : adapters) rows.push_back(Row(a));
    std::vector<std::size_t> widths(rows.front().size(), 0);
    for (const auto& row : rows)
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], row[c].size());
    std::string text;
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c)
            text += row[c] +
                    (c + 1 < row.size() ? std::string(widths[c] - row[c].size() + 2, ' ') : "\n");
    }
    return text + std::to_string(adapters.size()) +
           (adapters.size() == 1 ? " adapter.\n" : " adapters.\n");
}

std::string AdaptersJson(const std::vector<TOLM_AdapterType>& adapters) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const TOLM_AdapterType& a : adapters)
        list.push_back({{"name", client::FieldText(a.szName)},
                        {"index", a.dwIndex},
                        {"address", client::IpText(a.dwAddress)},
                        {"subnet_mask", client::IpText(a.dwSubnetMask)},
                        {"broadcast", client::IpText(a.dwBroadcast)},
                        {"state", kState}});
    const nlohmann::ordered_json document{{"schema_version", kSchemaVersion}, {"adapters", list}};
    return JsonText(document, 2) + "\n";
}

}  // namespace tolm::linkora
