#include "stamp.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace tolm::bench {

std::string ComposeStampedAnswer(std::uint32_t index, std::int64_t stamp_ns) {
    char text[400];
    const int length = std::snprintf(
        text, sizeof text,
        "protocol version = 1.0;fb type = PROFIBUS DP;module version = 2.15.1000;"
        "mac = 02-00-00-%02X-%02X-%02X;ip = 10.77.0.101;sn = 255.255.255.0;gw = 10.77.0.1;"
        "dhcp = off;pswd = off;hn = %" PRId64 ";dns1 = 10.77.0.1;dns2 = 10.77.0.2;",
        static_cast<unsigned>((index >> 16) & 0xFF), static_cast<unsigned>((index >> 8) & 0xFF),
        static_cast<unsigned>(index & 0xFF), stamp_ns);
    return std::string(text, static_cast<std::size_t>(length));
}

std::optional<std::int64_t> StampOf(const TOLM_ModuleScanResponseType& record) {
    if (record.bHostNameValid != 1) return std::nullopt;
    const char* name = record.szHostName;
    const std::size_t length = strnlen(name, sizeof record.szHostName);
    // 19 digits always fit in 63 bits.
    if (length == 0 || length > 19 || length == sizeof record.szHostName) return std::nullopt;
    std::int64_t stamp = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (name[i] < '0' || name[i] > '9') return std::nullopt;
        stamp = stamp * 10 + (name[i] - '0');
    }
    return stamp;
}

}  // namespace tolm::bench
