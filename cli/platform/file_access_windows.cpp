// clang-format off
#include <windows.h>
#include <aclapi.h>
// clang-format on

#include "cli/platform/file_access.h"

namespace tolm::linkora {
namespace {

struct Group {
    WELL_KNOWN_SID_TYPE type;
    const char* name;
};

constexpr Group kGroups[] = {{WinWorldSid, "Everyone"},
                             {WinAuthenticatedUserSid, "Authenticated Users"},
                             {WinBuiltinUsersSid, "Users"}};

constexpr DWORD kReading = FILE_READ_DATA | GENERIC_READ | GENERIC_ALL;

}  // namespace

std::string OthersWhoCanRead(const std::string& path) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return {};
    std::string who;
    // No DACL at all lets everyone in.
    if (dacl == nullptr) who = "Everyone";
    for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
        void* entry = nullptr;
        if (!GetAce(dacl, i, &entry)) continue;
        const auto* ace = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        if (ace->Header.AceType != ACCESS_ALLOWED_ACE_TYPE || (ace->Mask & kReading) == 0) continue;
        for (const Group& group : kGroups) {
            BYTE sid[SECURITY_MAX_SID_SIZE];
            DWORD size = sizeof sid;
            if (CreateWellKnownSid(group.type, nullptr, sid, &size) &&
                EqualSid(const_cast<DWORD*>(&ace->SidStart), sid) &&
                who.find(group.name) == std::string::npos)
                who += (who.empty() ? "" : ", ") + std::string(group.name);
        }
    }
    LocalFree(descriptor);
    return who;
}

}  // namespace tolm::linkora
