#include <windows.h>

#include <cstdlib>

#include "cli/platform/local_user.h"

namespace tolm::linkora {

std::string ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    return GetComputerNameA(name, &size) != 0 ? name : "";
}

std::string UserName() {
    char name[257] = {};
    DWORD size = sizeof name;
    return GetUserNameA(name, &size) != 0 ? name : "";
}

std::string StateFolder() {
    const char* folder = std::getenv("LOCALAPPDATA");
    return folder != nullptr ? folder : "";
}

}  // namespace tolm::linkora
