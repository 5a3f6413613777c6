#include "cli/plan/password_list.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "cli/command_line/failure.h"
#include "cli/plan/csv_cells.h"
#include "cli/plan/plan_fields.h"
#include "cli/plan/plan_text.h"
#include "client/configure_request.h"
#include "password_rule.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

// What keeps the password from travelling: a byte it cannot carry, or a length.
std::string WhyNot(std::string_view password) {
    std::string why = client::WhyPasswordCannotBeSent(password, "the password");
    if (!why.empty()) return why;
    TOLM_ConfigureRequestType request = client::UnchangedRequest();
    if (!client::CopyText(password, request.szPassword))
        return "the password is too long: " + std::to_string(password.size()) +
               " characters, a record holds at most 127";
    return client::WhyTooLong(request);
}

std::string SeparatorName(char separator) {
    return separator == '\t' ? std::string("a TAB") : "'" + std::string(1, separator) + "'";
}

}  // namespace

PasswordListReading ReadPasswordList(std::string_view bytes) {
    PasswordListReading reading;
    const PlanText decoded = DecodePlanText(bytes);
    const CsvTable table = ReadCsv(decoded.utf8);
    const std::string separator = SeparatorName(table.separator);
    std::map<std::string, int> first_line;
    bool rows_seen = false;
    for (CsvRow row : table.rows) {
        // Spreadsheets save trailing empty columns; they are not part of the password.
        while (row.size() > 2 && row.back().text.empty()) row.pop_back();
        const CsvCell& first = row.front();
        const int line = first.where.line;
        if ((row.size() == 1 && Trimmed(first.text).empty()) ||
            (!first.text.empty() && first.text.front() == '#'))
            continue;
        const bool heading = !rows_seen && IsMacName(first.text);
        rows_seen = true;
        if (heading) continue;
        if (row.size() < 2) {
            reading.problems.push_back(
                {first.where, "a line is a MAC address, " + separator + " and the password"});
            continue;
        }
        client::Mac mac;
        // Not the usual message: it would quote the text, which may be a password.
        if (!ReadMac(first.text, mac).empty()) {
            reading.problems.push_back({first.where, "the text before " + separator +
                                                         " is not a MAC address such as "
                                                         "02-00-00-00-00-01"});
            continue;
        }
        // Unquoted, a password holds the separator as it stands.
        std::string password = row[1].text;
        for (std::size_t c = 2; c < row.size(); ++c) password += table.separator + row[c].text;
        if (std::string why = WhyNot(password); !why.empty()) {
            reading.problems.push_back({row[1].where, why});
            continue;
        }
        const std::string key = client::MacText(mac.data());
        if (const auto [at, added] = first_line.emplace(key, line); !added) {
            reading.problems.push_back({first.where, key + " has a password already (line " +
                                                         std::to_string(at->second) + ")"});
            continue;
        }
        reading.by_mac[key] = std::move(password);
    }
    if (decoded.problem) reading.problems.push_back(*decoded.problem);
    if (table.problem) reading.problems.push_back(*table.problem);
    return reading;
}

std::map<std::string, std::string> ReadPasswordListFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw Failure(kUsage,
                      "cannot read the passwords file " + path + ": " + std::strerror(errno));
    std::ostringstream text;
    text << file.rdbuf();
    PasswordListReading reading = ReadPasswordList(text.str());
    if (reading.problems.empty()) return std::move(reading.by_mac);
    for (const PlanProblem& problem : reading.problems)
        std::fprintf(stderr, "%s\n", ProblemText(path, problem).c_str());
    throw Failure(kUsage, "the passwords file " + path + " has " +
                              std::to_string(reading.problems.size()) +
                              (reading.problems.size() == 1 ? " problem" : " problems") +
                              "; nothing was sent");
}

}  // namespace tolm::linkora
