#include "text_scan.h"

#include <cstdint>
#include <limits>

namespace tolm::protocol {
namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::size_t SkipSpace(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsSpace(text[pos])) ++pos;
    return pos;
}

// One "%x" conversion: white space, sign, optional 0x, hex digits. Advances
// pos past what it read; false when no number stands there.
bool ReadHex(std::string_view text, std::size_t& pos, std::uint32_t& value) {
    std::size_t at = SkipSpace(text, pos);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    if (at + 2 < text.size() && text[at] == '0' && LowerAscii(text[at + 1]) == 'x' &&
        HexDigit(text[at + 2]) >= 0)
        at += 2;
    if (at >= text.size() || HexDigit(text[at]) < 0) return false;
    std::uint64_t number = 0;
    bool overflow = false;
    for (; at < text.size() && HexDigit(text[at]) >= 0; ++at) {
        number = number * 16 + static_cast<unsigned>(HexDigit(text[at]));
        if (number > std::numeric_limits<std::uint32_t>::max()) {
            overflow = true;
            number = 0;
        }
    }
    // Like the C library: an overflow reads as the largest value, whatever the sign.
    if (overflow)
        value = std::numeric_limits<std::uint32_t>::max();
    else
        value = static_cast<std::uint32_t>(negative ? (0u - number) : number);
    pos = at;
    return true;
}

}  // namespace

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (LowerAscii(text[i]) != LowerAscii(prefix[i])) return false;
    return true;
}

std::size_t FindNoCase(std::string_view text, std::string_view key, std::size_t from) {
    if (key.size() > text.size()) return kNotFound;
    for (std::size_t at = from; at + key.size() <= text.size(); ++at)
        if (StartsWithNoCase(text.substr(at), key)) return at;
    return kNotFound;
}

std::int32_t ReadDecimal(std::string_view text, std::size_t pos) {
    std::size_t at = SkipSpace(text, pos);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    std::int64_t number = 0;
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        number = number * 10 + (text[at] - '0');
        if (number > limit) number = limit;
    }
    return static_cast<std::int32_t>(negative ? -number : number);
}

void ReadDotted(std::string_view text, std::size_t pos, std::int32_t* numbers, int count) {
    for (int i = 0; i < count; ++i) numbers[i] = 0;
    std::size_t start = pos;
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            const std::size_t dot = text.find('.', start);
            if (dot == std::string_view::npos) return;
            start = dot + 1;
        }
        numbers[i] = ReadDecimal(text, start);
    }
}

bool ReadMac(std::string_view text, std::size_t pos, std::uint8_t* mac) {
    for (int i = 0; i < TOLM_MAC_SIZE; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != '-') return false;
            ++pos;
        }
        std::uint32_t value = 0;
        if (!ReadHex(text, pos, value)) return false;
        mac[i] = static_cast<std::uint8_t>(value);
    }
    return true;
}

}  // namespace tolm::protocol
