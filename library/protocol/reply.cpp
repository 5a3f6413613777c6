#include "messages.h"
#include "text_scan.h"

namespace tolm::protocol {

std::optional<MacAddress> ReplyMac(std::string_view text) {
    std::size_t at = 0;
    for (const std::string_view prefix : {"Reconfigured:", "Invalid Password:"})
        if (StartsWithNoCase(text, prefix)) at = prefix.size();
    if (at == 0) return std::nullopt;
    MacAddress mac;
    mac.fill(0xFF);
    // ReadMac skips the blanks before each group itself.
    if (!ReadMac(text, at, mac.data())) return std::nullopt;
    return mac;
}

}  // namespace tolm::protocol
