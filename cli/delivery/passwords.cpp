#include "cli/delivery/passwords.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>

#include "cli/command_line/failure.h"
#include "cli/output/console.h"
#include "cli/platform/file_access.h"
#include "cli/platform/terminal.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

std::string WithoutLineEnd(std::string line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

// A file that holds no password is a mistake: an empty one would go as none.
std::string FirstLineOf(const std::string& path, const char* what) {
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw Failure(kUsage, std::string("cannot read the ") + what + " file " + path + ": " +
                                  std::strerror(errno));
    WarnIfReadableByOthers(path, what);
    std::string line;
    std::getline(file, line);
    line = WithoutLineEnd(line);
    if (line.empty())
        throw Failure(kUsage, std::string("the ") + what + " file " + path +
                                  " holds no password on its first line; nothing was sent");
    return line;
}

const char kEmptyNewPassword[] =
    "the new password is empty, which would remove the module's password: give "
    "--remove-password to remove it; nothing was sent";

std::string StdinLine(const char* what) {
    std::string line;
    if (!std::getline(std::cin, line))
        throw Failure(kUsage, std::string("standard input ended before the ") + what);
    return WithoutLineEnd(line);
}

bool HasPasswordInForce(const Answer& answer) {
    return answer.record.bPswdValid != 0 && answer.record.bPswdEnabled != 0;
}

// Ctrl-C at a prompt ends the read (the echo is back on by then): nothing is sent.
std::optional<std::string> Asked(
    const std::string& prompt,
    std::optional<std::string> (*read)(const std::string&) = ReadHiddenLine) {
    std::optional<std::string> line = read(prompt);
    if (Interrupted()) throw Failure(kFailed, "interrupted at the prompt; nothing was sent");
    return line;
}

std::string AskTwice(const std::string& mac) {
    const auto first = Asked("New password for " + mac + ": ");
    const auto second = Asked("New password again: ");
    if (!first || !second) throw Failure(kUsage, "no new password was entered");
    if (*first != *second) throw Failure(kUsage, "the two new passwords differ");
    return *first;
}

}  // namespace

void WarnIfReadableByOthers(const std::string& path, const char* what) {
    const std::string others = OthersWhoCanRead(path);
    if (!others.empty())
        Warn("warning: the " + std::string(what) + " file " + path +
             " can be read by others than you (" + others +
             "): keep it to yourself, as for an ssh key (chmod 600 on Linux)");
}

PasswordSources ReadSetPasswords(const PasswordOptions& options) {
    PasswordSources sources;
    if (options.from_stdin) sources.shared = StdinLine("password");
    if (!options.file.empty()) sources.shared = FirstLineOf(options.file, "password");
    sources.new_password =
        options.new_password || !options.new_password_file.empty() || options.remove_password;
    sources.remove_password = options.remove_password;
    if (options.remove_password)
        sources.next = "";
    else if (!options.new_password_file.empty())
        sources.next = FirstLineOf(options.new_password_file, "new password");
    else if (options.new_password && options.from_stdin)
        sources.next = StdinLine("new password (its second line)");
    if (sources.next && sources.next->empty() && !sources.remove_password)
        throw Failure(kUsage, kEmptyNewPassword);
    return sources;
}

std::optional<std::string> ReadSharedPassword(bool from_stdin, const std::string& file) {
    if (from_stdin) return StdinLine("password");
    if (!file.empty()) return FirstLineOf(file, "password");
    return std::nullopt;
}

std::optional<std::string> PasswordFor(const ModuleRun& run, const PasswordSources& sources) {
    const Answer& answer = *run.before;
    if (answer.record.bPswdValid != 0 && answer.record.bPswdEnabled == 0) return std::nullopt;
    const auto own = sources.by_mac.find(client::MacText(run.planned.mac.data()));
    if (own != sources.by_mac.end()) return own->second;
    return sources.shared;
}

void AskMissingPasswords(const std::vector<ModuleRun>& runs, bool dry_run,
                         PasswordSources& sources) {
    std::vector<std::string> lacking;
    for (const ModuleRun& run : runs)
        if (run.outcome == Outcome::kWouldChange && HasPasswordInForce(*run.before) &&
            !PasswordFor(run, sources))
            lacking.push_back(client::MacText(run.planned.mac.data()));
    const bool need_next = sources.new_password && !sources.next && !dry_run;
    const bool ask_removal = sources.remove_password && !dry_run && IsTerminal(stdin);
    if (lacking.empty() && !need_next && !ask_removal) return;
    std::string macs;
    for (const std::string& mac : lacking) macs += (macs.empty() ? "" : ", ") + mac;
    if (dry_run) {
        Warn("no password is given for " + macs + " (password in force); give it with " +
             sources.how_to_give + ", or run linkora on a terminal to be asked");
        return;
    }
    if (!IsTerminal(stdin) && (!lacking.empty() || need_next))
        throw Failure(kUsage,
                      (lacking.empty() ? std::string("--new-password needs the new password")
                                       : macs + (lacking.size() == 1 ? " has" : " have") +
                                             " a password in force") +
                          ": give it with " + sources.how_to_give +
                          ", or run linkora on a terminal to be asked; nothing was sent");
    if (!lacking.empty()) {
        sources.shared =
            Asked(lacking.size() == 1 ? "Password of " + macs + ": "
                                      : "Password of the protected modules (" + macs + "): ");
        if (!sources.shared) throw Failure(kUsage, "no password was entered; nothing was sent");
    }
    const std::string whose = runs.size() == 1 ? client::MacText(runs.front().planned.mac.data())
                                               : std::string("the modules");
    if (need_next) {
        sources.next = AskTwice(whose);
        if (sources.next->empty()) throw Failure(kUsage, kEmptyNewPassword);
    }
    if (ask_removal) {
        const std::optional<std::string> answer =
            Asked("Remove the password of " + whose +
                      "? Anyone on the network can then change its settings. [y/N]: ",
                  ReadLine);
        if (answer != "y" && answer != "Y" && answer != "yes")
            throw Failure(kFailed, "the password stays; nothing was sent");
    }
}

}  // namespace tolm::linkora
