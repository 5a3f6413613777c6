#include <sys/stat.h>

#include <cstdio>

#include "cli/platform/file_access.h"

namespace tolm::linkora {

std::string OthersWhoCanRead(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || (status.st_mode & (S_IRGRP | S_IROTH)) == 0)
        return {};
    char mode[16];
    std::snprintf(mode, sizeof mode, "mode %04o", static_cast<unsigned>(status.st_mode & 07777));
    return mode;
}

}  // namespace tolm::linkora
