#include "list/row_order.h"

#include <windows.h>

#include <array>
#include <cstdint>

namespace {

// Numbers this large compare alike: anything above 255 is out of range.
constexpr unsigned kNumberCap = 1000;

// The four numbers: the first at the start, each further one after the next
// '.'; each read stops at the first non-digit.
std::array<unsigned, 4> Numbers(const char* text) {
    std::array<unsigned, 4> numbers{};
    const char* at = text;
    for (unsigned& number : numbers) {
        for (; *at >= '0' && *at <= '9'; ++at) {
            number = number * 10 + static_cast<unsigned>(*at - '0');
            if (number > kNumberCap) number = kNumberCap;
        }
        while (*at != '\0' && *at != '.') ++at;
        if (*at == '.') ++at;
    }
    return numbers;
}

enum Rank { kOutOfRangeQuad, kAddress, kText };

Rank RankOf(const char* text) {
    if (!IsDottedQuad(text)) return kText;
    return HasNumberAbove255(text) ? kOutOfRangeQuad : kAddress;
}

}  // namespace

bool IsDottedQuad(const char* text) {
    if (*text == '\0') return false;
    int dots = 0;
    for (const char* at = text; *at != '\0'; ++at) {
        if (*at == '.') {
            ++dots;
        } else if (*at < '0' || *at > '9') {
            return false;
        }
    }
    return dots == 3;
}

bool HasNumberAbove255(const char* dotted_quad) {
    for (unsigned number : Numbers(dotted_quad)) {
        if (number > 255) return true;
    }
    return false;
}

int CompareDottedQuad(const char* a, const char* b) {
    const auto first = Numbers(a);
    const auto second = Numbers(b);
    for (std::size_t i = 0; i < first.size(); ++i) {
        if (first[i] > 255) return -1;
        if (second[i] > 255) return 1;
    }
    std::uint32_t value_a = 0;
    std::uint32_t value_b = 0;
    for (std::size_t i = 0; i < first.size(); ++i) {
        value_a = value_a << 8 | first[i];
        value_b = value_b << 8 | second[i];
    }
    return value_a < value_b ? -1 : value_a > value_b ? 1 : 0;
}

int CompareColumnTexts(const char* t1, const char* t2) {
    const Rank rank1 = RankOf(t1);
    const Rank rank2 = RankOf(t2);
    if (rank1 != rank2) return rank1 < rank2 ? -1 : 1;
    if (rank1 == kAddress) return CompareDottedQuad(t1, t2);
    return ::lstrcmpA(t1, t2);
}
