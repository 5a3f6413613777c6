#include "cli/output/table.h"

#include <algorithm>

#include "cli/output/printable.h"

namespace tolm::linkora {
namespace {

constexpr std::size_t kGap = 2;

}  // namespace

Table::Table(std::vector<std::string> headings) {
    Add(std::move(headings));
}

void Table::Add(std::vector<std::string> row) {
    for (std::string& cell : row) cell = Printable(cell);
    rows_.push_back(std::move(row));
}

void Table::MinimumWidth(std::size_t column, std::size_t width) {
    if (minimum_.size() <= column) minimum_.resize(column + 1, 0);
    minimum_[column] = width;
}

void Table::Columns(std::size_t count) {
    columns_ = count;
}

std::string Table::Text() const {
    std::vector<std::size_t> widths = minimum_;
    for (const auto& row : rows_) {
        const std::size_t used = std::min(row.size(), columns_);
        if (widths.size() < used) widths.resize(used, 0);
        for (std::size_t c = 0; c < used; ++c) widths[c] = std::max(widths[c], row[c].size());
    }
    std::string text;
    for (const auto& row : rows_) {
        const std::size_t used = std::min(row.size(), columns_);
        for (std::size_t c = 0; c < used; ++c) {
            text += row[c];
            if (c + 1 < used) text += std::string(widths[c] - row[c].size() + kGap, ' ');
        }
        text += '\n';
    }
    return text;
}

}  // namespace tolm::linkora
