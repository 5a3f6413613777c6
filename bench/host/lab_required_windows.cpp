#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "lab_required.h"

namespace tolm::bench {

namespace {

// The lab's links are named tl*, like the native guard expects.
constexpr const char* kLabLinkPrefix = "tl";

// Under Wine the Linux interfaces show through the Z: drive; where that
// folder does not exist only TOLM_LAB counts.
std::string ForeignLinkUnderWine() {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA("Z:\\sys\\class\\net\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) return {};
    std::string foreign;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == ".." || name == "lo") continue;
        if (name.rfind(kLabLinkPrefix, 0) != 0) foreign = name;
    } while (foreign.empty() && FindNextFileA(search, &entry));
    FindClose(search);
    return foreign;
}

[[noreturn]] void Refuse(const std::string& why) {
    std::fprintf(stderr, "tolm-bench-host: refusing to run outside the lab network: %s\n",
                 why.c_str());
    std::exit(3);
}

}  // namespace

void RequireLabOrExit() {
    const char* lab = std::getenv("TOLM_LAB");
    if (lab == nullptr || *lab == '\0') Refuse("TOLM_LAB is not set (start it with lab/lab run)");
    const std::string foreign = ForeignLinkUnderWine();
    if (!foreign.empty()) Refuse("interface " + foreign + " is not a lab link");
}

}  // namespace tolm::bench
