#include "address_text.h"

#include <vector>

namespace tolm::client {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t end = text.find(separator);
        parts.push_back(text.substr(0, end));
        if (end == std::string_view::npos) return parts;
        text.remove_prefix(end + 1);
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

template <typename Value>
std::optional<Value> Fail(std::string* error, std::string why) {
    if (error != nullptr) *error = std::move(why);
    return std::nullopt;
}

}  // namespace

std::optional<std::uint32_t> ParseIpv4(std::string_view text, std::string* error) {
    const std::string quoted = "\"" + std::string(text) + "\"";
    const auto parts = Split(text, '.');
    if (parts.size() != 4)
        return Fail<std::uint32_t>(
            error, quoted + " is not an IPv4 address: four numbers joined by dots are needed");
    std::uint32_t address = 0;
    for (const std::string_view part : parts) {
        if (part.empty() || part.size() > 3)
            return Fail<std::uint32_t>(
                error, quoted + " is not an IPv4 address: each number has one to three digits");
        unsigned number = 0;
        for (const char c : part) {
            if (c < '0' || c > '9')
                return Fail<std::uint32_t>(error, quoted + " is not an IPv4 address: '" +
                                                      std::string(1, c) + "' is not a digit");
            number = number * 10 + static_cast<unsigned>(c - '0');
        }
        if (number > 255)
            return Fail<std::uint32_t>(error, quoted + " is not an IPv4 address: " +
                                                  std::to_string(number) + " is above 255");
        address = address << 8 | number;
    }
    return address;
}

std::optional<Mac> ParseMac(std::string_view text, std::string* error) {
    const std::string quoted = "\"" + std::string(text) + "\"";
    const char separator = text.find(':') != std::string_view::npos ? ':' : '-';
    const auto groups = Split(text, separator);
    if (groups.size() != TOLM_MAC_SIZE)
        return Fail<Mac>(error, quoted +
                                    " is not a MAC address: six hex groups joined by '-' or ':' "
                                    "are needed, such as 02-00-00-00-00-01");
    Mac mac{};
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const std::string_view group = groups[i];
        if (group.empty() || group.size() > 2)
            return Fail<Mac>(error, quoted +
                                        " is not a MAC address: each group has one or "
                                        "two hex digits");
        unsigned value = 0;
        for (const char c : group) {
            if (HexDigit(c) < 0)
                return Fail<Mac>(error, quoted + " is not a MAC address: '" + std::string(1, c) +
                                            "' is not a hex digit");
            value = value * 16 + static_cast<unsigned>(HexDigit(c));
        }
        mac[i] = static_cast<std::uint8_t>(value);
    }
    return mac;
}

bool IsContiguousMask(std::uint32_t mask) {
    const std::uint32_t hosts = ~mask;
    return (hosts & (hosts + 1)) == 0;
}

}  // namespace tolm::client
