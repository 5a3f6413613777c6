#include <unistd.h>

#include <climits>

#include "cli/platform/library_path.h"

namespace tolm::linkora {

// Beside the executable, as the build tree has it; else by its soname, where
// the system's loader finds an installed library.
std::string DefaultLibraryPath() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return LINKORA_SYSTEM_LIBRARY;
    const std::string executable(path, static_cast<std::size_t>(length));
    const std::string beside = executable.substr(0, executable.rfind('/') + 1) + "libtolm.so";
    return ::access(beside.c_str(), F_OK) == 0 ? beside : LINKORA_SYSTEM_LIBRARY;
}

}  // namespace tolm::linkora
