#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "cli/platform/local_user.h"

namespace tolm::linkora {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

}  // namespace

std::string ComputerName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

std::string UserName() {
    if (const passwd* entry = ::getpwuid(::geteuid());
        entry != nullptr && entry->pw_name != nullptr)
        return entry->pw_name;
    return Environment("USER");
}

std::string StateFolder() {
    // A relative $XDG_STATE_HOME is to be ignored.
    const std::string state = Environment("XDG_STATE_HOME");
    if (!state.empty() && state.front() == '/') return state;
    std::string home = Environment("HOME");
    if (home.empty())
        if (const passwd* entry = ::getpwuid(::geteuid()); entry != nullptr && entry->pw_dir)
            home = entry->pw_dir;
    return home.empty() ? "" : home + "/.local/state";
}

}  // namespace tolm::linkora
