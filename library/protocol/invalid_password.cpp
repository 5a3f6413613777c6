#include "messages.h"
#include "text_scan.h"

namespace tolm::protocol {

MacAddress ParseInvalidPassword(std::string_view text) {
    MacAddress mac;
    mac.fill(0xFF);
    constexpr std::string_view kKey = "Invalid Password: ";
    const std::size_t at = FindNoCase(text, kKey);
    if (at != kNotFound) ReadMac(text, at + kKey.size(), mac.data());
    return mac;
}

}  // namespace tolm::protocol
