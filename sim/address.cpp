#include "address.h"

#include <cstdio>

namespace tolm::sim {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::uint64_t MacToNumber(const Mac& mac) {
    std::uint64_t number = 0;
    for (std::uint8_t byte : mac) number = number << 8 | byte;
    return number;
}

}  // namespace

std::optional<Ipv4> ParseIpv4(std::string_view text) {
    Ipv4 address = 0;
    std::size_t pos = 0;
    for (int part = 0; part < 4; ++part) {
        if (part > 0) {
            if (pos >= text.size() || text[pos] != '.') return std::nullopt;
            ++pos;
        }
        unsigned value = 0;
        std::size_t digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && digits < 4) {
            value = value * 10 + static_cast<unsigned>(text[pos] - '0');
            ++pos;
            ++digits;
        }
        if (digits == 0 || digits > 3 || value > 255) return std::nullopt;
        address = address << 8 | value;
    }
    if (pos != text.size()) return std::nullopt;
    return address;
}

std::string FormatIpv4(Ipv4 address) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", address >> 24, (address >> 16) & 0xFF,
                  (address >> 8) & 0xFF, address & 0xFF);
    return text;
}

std::optional<Mac> ParseMac(std::string_view text) {
    Mac mac{};
    std::size_t pos = 0;
    for (std::size_t group = 0; group < mac.size(); ++group) {
        if (group > 0) {
            if (pos >= text.size() || (text[pos] != '-' && text[pos] != ':')) return std::nullopt;
            ++pos;
        }
        int value = 0;
        std::size_t digits = 0;
        while (pos < text.size() && HexDigit(text[pos]) >= 0 && digits < 3) {
            value = value * 16 + HexDigit(text[pos]);
            ++pos;
            ++digits;
        }
        if (digits == 0 || digits > 2) return std::nullopt;
        mac[group] = static_cast<std::uint8_t>(value);
    }
    if (pos != text.size()) return std::nullopt;
    return mac;
}

std::string FormatMac(const Mac& mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return text;
}

std::optional<Ipv4> AddToIpv4(Ipv4 base, std::uint64_t offset) {
    const std::uint64_t sum = base + offset;
    if (sum > 0xFFFFFFFFull) return std::nullopt;
    return static_cast<Ipv4>(sum);
}

std::optional<Mac> AddToMac(const Mac& base, std::uint64_t offset) {
    std::uint64_t sum = MacToNumber(base) + offset;
    if (offset > 0xFFFFFFFFFFFFull || sum > 0xFFFFFFFFFFFFull) return std::nullopt;
    Mac mac{};
    for (std::size_t i = mac.size(); i-- > 0; sum >>= 8) mac[i] = static_cast<std::uint8_t>(sum);
    return mac;
}

}  // namespace tolm::sim
