#include "cli/output/adapter_report.h"

#include <nlohmann/json.hpp>

#include "cli/output/json_document.h"
#include "cli/output/table.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

// The library lists only adapters that are up: those are the ones it uses.
constexpr const char* kState = "up";

std::vector<std::string> Row(const TOLM_AdapterType& a) {
    return {client::FieldText(a.szName), client::IpText(a.dwAddress),
            client::IpText(a.dwSubnetMask), client::IpText(a.dwBroadcast), kState};
}

}  // namespace

std::string AdaptersTable(const std::vector<TOLM_AdapterType>& adapters) {
    Table table({"Adapter", "Address", "Subnet mask", "Broadcast", "State"});
    for (const TOLM_AdapterType& a : adapters) table.Add(Row(a));
    return table.Text() + std::to_string(adapters.size()) +
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
    const nlohmann::ordered_json document = Document({{"adapters", list}});
    return JsonText(document, 2) + "\n";
}

}  // namespace tolm::linkora
