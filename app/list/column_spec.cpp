#include "list/column_spec.h"

namespace {

// Leading decimal digits; no digits give 0, and a width past any screen is capped.
int LeadingNumber(std::string_view text) {
    constexpr int kLargest = 1 << 20;
    int number = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') break;
        number = number * 10 + (ch - '0');
        if (number > kLargest) number = kLargest;
    }
    return number;
}

}  // namespace

std::vector<ColumnSpec> ParseColumnSpec(std::string_view spec) {
    std::vector<ColumnSpec> columns;
    std::size_t position = 0;
    while (position < spec.size()) {
        const std::size_t comma = spec.find(',', position);
        if (comma == std::string_view::npos) break;
        const std::size_t semicolon = spec.find(';', comma + 1);
        const std::size_t width_end = semicolon == std::string_view::npos ? spec.size() : semicolon;
        columns.push_back({std::string(spec.substr(position, comma - position)),
                           LeadingNumber(spec.substr(comma + 1, width_end - comma - 1))});
        if (semicolon == std::string_view::npos) break;
        position = semicolon + 1;
    }
    return columns;
}
