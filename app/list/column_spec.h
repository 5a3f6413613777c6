// The list's column spec: "heading,width;heading,width;...", widths in pixels.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct ColumnSpec {
    std::string heading;
    int width;
};

// Each item up to the first ',' is a heading and the digits after it its
// width (none: 0); reading ends at an item without a ','.
std::vector<ColumnSpec> ParseColumnSpec(std::string_view spec);
