#include "cli/delivery/passwords.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

#include "cli/command_line/failure.h"
#include "cli/platform/terminal.h"

namespace tolm::linkora {
namespace {

std::string WithoutLineEnd(std::string line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

std::string FirstLineOf(const std::string& path, const char* what) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw Failure(kUsage, std::string("cannot read the ") + what + " file " + path + ": " +
                                  std::strerror(errno));
    std::string line;
    std::getline(file, line);
    return WithoutLineEnd(line);
}

std::string StdinLine(const char* what) {
    std::string line;
    if (!std::getline(std::cin, line))
        throw Failure(kUsage, std::string("standard input ended before the ") + what);
    return WithoutLineEnd(line);
}

std::string AskTwice(const std::string& mac) {
    const auto first = ReadHiddenLine("New password for " + mac + ": ");
    const auto second = ReadHiddenLine("New password again: ");
    if (!first || !second) throw Failure(kUsage, "no new password was entered");
    if (*first != *second) throw Failure(kUsage, "the two new passwords differ");
    return *first;
}

}  // namespace

Passwords ReadGivenPasswords(const PasswordOptions& options) {
    Passwords passwords;
    if (options.from_stdin) passwords.current = StdinLine("password");
    if (!options.file.empty()) passwords.current = FirstLineOf(options.file, "password");
    if (!options.new_password_file.empty())
        passwords.next = FirstLineOf(options.new_password_file, "new password");
    else if (options.new_password && options.from_stdin)
        passwords.next = StdinLine("new password (its second line)");
    return passwords;
}

std::optional<std::string> ReadSharedPassword(bool from_stdin, const std::string& file) {
    if (from_stdin) return StdinLine("password");
    if (!file.empty()) return FirstLineOf(file, "password");
    return std::nullopt;
}

void AskMissingPasswords(const PasswordOptions& options, bool module_protected,
                         const std::string& mac, Passwords& passwords) {
    const bool need_current = module_protected && !passwords.current;
    const bool need_next = options.new_password && !passwords.next;
    if (!need_current && !need_next) return;
    if (!IsTerminal(stdin))
        throw Failure(kUsage, std::string(need_current ? "the module has a password in force"
                                                       : "--new-password needs the new password") +
                                  ": give it with --password-stdin or a password file, or run "
                                  "linkora on a terminal to be asked");
    if (need_current) {
        passwords.current = ReadHiddenLine("Password of " + mac + ": ");
        if (!passwords.current) throw Failure(kUsage, "no password was entered");
    }
    if (need_next) passwords.next = AskTwice(mac);
}

}  // namespace tolm::linkora
