#include "cli/plan/plan_text.h"

#include <cstdint>

namespace tolm::linkora {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

void AppendUtf8(char32_t c, std::string& out) {
    const auto byte = [&out](unsigned value) { out += static_cast<char>(value); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | (c >> 6));
        byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | (c >> 12));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | (c >> 18));
        byte(0x80 | ((c >> 12) & 0x3F));
        byte(0x80 | ((c >> 6) & 0x3F));
        byte(0x80 | (c & 0x3F));
    }
}

// Where the next character would stand in the text decoded so far.
PlanPosition End(const std::string& text) {
    PlanPosition where;
    const std::size_t line_start = text.rfind('\n');
    for (const char c : text) where.line += c == '\n' ? 1 : 0;
    where.column =
        static_cast<int>(text.size() - (line_start == std::string::npos ? 0 : line_start + 1)) + 1;
    return where;
}

PlanText DecodeUtf16(std::string_view bytes, bool big_endian) {
    PlanText text;
    text.utf8.reserve(bytes.size() / 2);
    const auto unit = [&](std::size_t at) -> char32_t {
        const auto b0 = static_cast<std::uint8_t>(bytes[at]);
        const auto b1 = static_cast<std::uint8_t>(bytes[at + 1]);
        return big_endian ? (b0 << 8 | b1) : (b1 << 8 | b0);
    };
    std::size_t at = 0;
    for (; at + 1 < bytes.size(); at += 2) {
        char32_t c = unit(at);
        if (c >= 0xD800 && c <= 0xDBFF && at + 3 < bytes.size()) {
            const char32_t low = unit(at + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                at += 2;
                AppendUtf8(c, text.utf8);
                continue;
            }
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            text.problem = PlanProblem{End(text.utf8),
                                       "the UTF-16 text holds half a character "
                                       "(a surrogate without its pair)"};
            return text;
        }
        AppendUtf8(c, text.utf8);
    }
    if (at < bytes.size())
        text.problem =
            PlanProblem{End(text.utf8), "the UTF-16 text ends in the middle of a character"};
    return text;
}

}  // namespace

PlanText DecodePlanText(std::string_view bytes) {
    if (bytes.substr(0, kUtf16LeMark.size()) == kUtf16LeMark)
        return DecodeUtf16(bytes.substr(kUtf16LeMark.size()), false);
    if (bytes.substr(0, kUtf16BeMark.size()) == kUtf16BeMark)
        return DecodeUtf16(bytes.substr(kUtf16BeMark.size()), true);
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) bytes.remove_prefix(kUtf8Mark.size());
    return {std::string(bytes), std::nullopt};
}

}  // namespace tolm::linkora
