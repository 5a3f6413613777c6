// The module's passwords: never from the command line; from standard input
// or files, else asked for on the terminal without echo. Never printed.
#pragma once

#include <optional>
#include <string>

namespace tolm::linkora {

// Where set's passwords come from besides the terminal.
struct PasswordOptions {
    bool from_stdin = false;  // the password from standard input's first line, the new one next
    std::string file;         // the password from this file's first line
    bool new_password = false;
    std::string new_password_file;
};

struct Passwords {
    std::optional<std::string> current;
    std::optional<std::string> next;  // the new password
};

// Reads what --password-stdin and the files give, before anything is sent.
Passwords ReadGivenPasswords(const PasswordOptions& options);

// apply's one password for every protected module: standard input's first
// line, or a file's; nothing when neither is given.
std::optional<std::string> ReadSharedPassword(bool from_stdin, const std::string& file);

// Asks on the terminal for what the module needs and was not given: its
// password when one is in force, the new one (twice) with --new-password.
// Throws a usage failure where there is no terminal to ask on.
void AskMissingPasswords(const PasswordOptions& options, bool module_protected,
                         const std::string& mac, Passwords& passwords);

}  // namespace tolm::linkora
