#include "cli/plan/password_list.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "cli/command_line/failure.h"
#include "cli/plan/plan_fields.h"
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

}  // namespace

PasswordListReading ReadPasswordList(std::string_view text) {
    PasswordListReading reading;
    std::map<std::string, int> first_line;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (Trimmed(line).empty() || line.front() == '#') continue;
        const std::size_t comma = line.find(',');
        const std::string_view mac_text = line.substr(0, comma);
        if (number == 1 && IsMacName(mac_text)) continue;
        if (comma == std::string_view::npos) {
            reading.problems.push_back(
                {{number, 1}, "a line is a MAC address, ',' and the password"});
            continue;
        }
        client::Mac mac;
        // Not the usual message: it would quote the text, which may be a password.
        if (!ReadMac(mac_text, mac).empty()) {
            reading.problems.push_back(
                {{number, 1},
                 "the text before ',' is not a MAC address such as 02-00-00-00-00-01"});
            continue;
        }
        const std::string_view password = line.substr(comma + 1);
        const int column = static_cast<int>(comma) + 2;
        if (std::string why = WhyNot(password); !why.empty()) {
            reading.problems.push_back({{number, column}, why});
            continue;
        }
        const std::string key = client::MacText(mac.data());
        if (const auto [at, added] = first_line.emplace(key, number); !added) {
            reading.problems.push_back(
                {{number, 1},
                 key + " has a password already (line " + std::to_string(at->second) + ")"});
            continue;
        }
        reading.by_mac[key] = std::string(password);
    }
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
