// The modules' passwords for a delivery: never from the command line; from
// standard input or files, else asked for on the terminal without echo.
// Never printed.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/delivery/module_runs.h"

namespace tolm::linkora {

// Where set's passwords come from besides the terminal.
struct PasswordOptions {
    bool from_stdin = false;  // the password from standard input's first line, the new one next
    std::string file;         // the password from this file's first line
    bool new_password = false;
    std::string new_password_file;
    bool remove_password = false;  // send an empty new password: the module's is removed
};

struct PasswordSources {
    // For every protected module that has none of its own in by_mac.
    std::optional<std::string> shared;
    std::map<std::string, std::string> by_mac;  // MAC as MacText writes it
    // Set a new password: the one given, or asked for twice on the terminal.
    bool new_password = false;
    std::optional<std::string> next;
    // The new password is empty on purpose; on a terminal it is asked first.
    bool remove_password = false;
    // How the user gives a password instead, named when there is no terminal to ask on.
    std::string how_to_give = "--password-stdin or a password file";
};

// set's: standard input's first line (and the new password from its second)
// or the files, read before anything is sent. A file that is empty, or an
// empty new password without --remove-password, is refused.
PasswordSources ReadSetPasswords(const PasswordOptions& options);

// Warns when others than the file's owner can read it.
void WarnIfReadableByOthers(const std::string& path, const char* what);

// apply's one password for every protected module: standard input's first
// line, or a file's; nothing when neither is given.
std::optional<std::string> ReadSharedPassword(bool from_stdin, const std::string& file);

// The password a module's request carries: its own from by_mac, else the
// shared one; none for a module that reports no password in force.
std::optional<std::string> PasswordFor(const ModuleRun& run, const PasswordSources& sources);

// Asks on the terminal, once, for the password of the protected modules that
// would change and have none given, for the new password (twice), and
// whether the password is to be removed. A dry run only tells where a
// password would be missing. Throws a usage failure where there is no
// terminal to ask on or the new password typed is empty.
void AskMissingPasswords(const std::vector<ModuleRun>& runs, bool dry_run,
                         PasswordSources& sources);

}  // namespace tolm::linkora
