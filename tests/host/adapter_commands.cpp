#include "adapter_commands.h"

#include <cstring>

#include "configure_args.h"
#include "record_format.h"
#include "record_text.h"
#include "text_escape.h"

namespace tolm::host {
namespace {

using Words = std::vector<std::string>;

std::string Adapters(const client::TolmExports& exports) {
    TOLM_AdapterType adapters[16];
    const int32_t count = exports.get_adapters(adapters, 16);
    std::string list;
    for (int32_t i = 0; i < count && i < 16; ++i) {
        const TOLM_AdapterType& a = adapters[i];
        list += (list.empty() ? "" : ",") + Escape(client::FieldText(a.szName)) + ":" +
                client::IpText(a.dwAddress) + "/" + client::IpText(a.dwSubnetMask) + "/" +
                client::IpText(a.dwBroadcast) + ":" + std::to_string(a.dwIndex);
    }
    return "adapters result=" + std::to_string(count) + " list=" + list;
}

// "all" stands for every adapter (a null name).
const char* AdapterName(const std::string& word) {
    return word == "all" ? nullptr : word.c_str();
}

std::string ScanVia(const client::TolmExports& exports, const Words& words) {
    if (words.size() != 2) return "error scan-via needs NAME or all";
    return "scan-via result=" + std::to_string(exports.send_module_scan_via(AdapterName(words[1])));
}

std::string ConfigureVia(const client::TolmExports& exports, const Words& words) {
    if (words.size() < 2) return "error configure-via needs NAME or all, then fields";
    std::string error;
    const auto request = ParseConfigureArgs(Words(words.begin() + 2, words.end()), error);
    if (!request) return "error " + error;
    return "configure-via result=" +
           std::to_string(exports.send_configure_via(&*request, AdapterName(words[1])));
}

std::string TakeOrigin(const client::TolmExports& exports) {
    TOLM_ModuleScanResponseType response;
    TOLM_ResponseOriginType origin;
    std::memset(&origin, 0xA5, sizeof origin);
    const int32_t result = exports.get_response_with_origin(&response, &origin);
    if (result == 0) return "take-origin result=0";
    return "take-origin result=1 adapter=" + Escape(client::FieldText(origin.szAdapter)) +
           " index=" + std::to_string(origin.dwAdapterIndex) +
           " sender=" + client::IpText(origin.dwSenderAddress) +
           " port=" + std::to_string(origin.wSenderPort) +
           " reserved=" + std::to_string(origin.wReserved) + " " + FormatResponse(response, false);
}

}  // namespace

bool IsAdapterCommand(const std::string& command) {
    return command == "adapters" || command == "scan-via" || command == "configure-via" ||
           command == "take-origin";
}

std::string RunAdapterCommand(const client::TolmExports& exports, const Words& words) {
    if (exports.get_adapters == nullptr || exports.send_module_scan_via == nullptr ||
        exports.send_configure_via == nullptr || exports.get_response_with_origin == nullptr)
        return "error the library lacks the adapter extensions";
    const std::string& command = words.front();
    if (command == "adapters") return Adapters(exports);
    if (command == "scan-via") return ScanVia(exports, words);
    if (command == "configure-via") return ConfigureVia(exports, words);
    return TakeOrigin(exports);
}

}  // namespace tolm::host
