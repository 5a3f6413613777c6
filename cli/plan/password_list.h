// --passwords FILE: one "mac,password" line per module whose password
// differs from the common one. The password is the rest of the line as it
// stands (only a line end taken off), as a password file is read; a heading
// line "mac,password", blank lines and lines that begin with '#' are skipped.
// Problems name the line and column, never the password.
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

PasswordListReading ReadPasswordList(std::string_view text);

// Reads the file; a usage failure when it cannot be read or has problems,
// after printing each on standard error as file:line:column.
std::map<std::string, std::string> ReadPasswordListFile(const std::string& path);

}  // namespace tolm::linkora
