// CSV as linkora writes it (scan --format csv): a cell is quoted where it
// holds a separator, a quote or a line break, and one that a spreadsheet
// would take for a formula (one beginning with =, +, -, @, a TAB or a CR)
// gets a leading quote.
#pragma once

#include <string>
#include <vector>

namespace tolm::linkora {

std::string CsvField(std::string text);
// The fields joined by ',', and a line end.
std::string CsvLine(const std::vector<std::string>& fields);

}  // namespace tolm::linkora
