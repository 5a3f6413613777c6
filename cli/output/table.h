// linkora's tables: rows of cells in columns, each column as wide as its
// widest cell (measured once, over every row), two blanks between columns,
// the last column not padded. Every cell is written through Printable, so a
// module's text cannot move the cursor, whatever table it stands in.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tolm::linkora {

class Table {
  public:
    explicit Table(std::vector<std::string> headings);
    // Without headings: findings, one line each.
    Table() = default;

    void Add(std::vector<std::string> row);
    // A column at least this wide, whatever its cells.
    void MinimumWidth(std::size_t column, std::size_t width);
    // Only the first columns are written.
    void Columns(std::size_t count);

    std::string Text() const;

  private:
    std::vector<std::vector<std::string>> rows_;
    std::vector<std::size_t> minimum_;
    std::size_t columns_ = static_cast<std::size_t>(-1);
};

}  // namespace tolm::linkora
