#include "cli/output/adapter_report.h"

#include <cstdint>
#include <set>

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

// A row per address; the count is of interfaces, as linkora sends once through each.
std::string AdaptersTable(const std::vector<TOLM_AdapterType>& adapters) {
    Table table({"Adapter", "Address", "Subnet mask", "Broadcast", "State"});
    std::set<std::uint32_t> interfaces;
    for (const TOLM_AdapterType& a : adapters) {
        table.Add(Row(a));
        interfaces.insert(a.dwIndex);
    }
    std::string count = std::to_string(interfaces.size()) +
                        (interfaces.size() == 1 ? " adapter" : " adapters");
    if (adapters.size() > interfaces.size())
        count += " with " + std::to_string(adapters.size()) + " addresses";
    return table.Text() + count + ".\n";
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
