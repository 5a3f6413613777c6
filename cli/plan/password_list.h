// --passwords FILE: one "mac,password" row per module whose password
// differs from the common one, read as plans are (any encoding, ',' ';' or
// TAB, quoted cells). An unquoted password is the rest of the row as it
// stands but for trailing empty columns; a heading row "mac,password", blank
// rows and rows that begin with '#' are skipped. Problems name the line and
// column, never the password.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "cli/plan/plan.h"

namespace tolm::linkora {

struct PasswordListReading {
    std::map<std::string, std::string> by_mac;  // MAC as written by MacText
    std::vector<PlanProblem> problems;
};

PasswordListReading ReadPasswordList(std::string_view bytes);

// Reads the file; a usage failure when it cannot be read or has problems,
// after printing each on standard error as file:line:column.
std::map<std::string, std::string> ReadPasswordListFile(const std::string& path);

}  // namespace tolm::linkora
