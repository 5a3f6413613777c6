#include "wine_lab_guard.h"

// iphlpapi.h needs the socket types first.
// clang-format off
#include <winsock2.h>
#include <iphlpapi.h>
// clang-format on

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <vector>

namespace tolm::windows_test {
namespace {

// Wine names each adapter after its Linux link; the lab's links begin with "tl".
constexpr const wchar_t* kLabLinkPrefix = L"tl";

std::string Narrow(const wchar_t* text) {
    std::string narrow;
    for (; text != nullptr && *text != L'\0'; ++text)
        narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
    return narrow;
}

}  // namespace

std::string WhyNotInLab() {
    const char* run = std::getenv("TOLM_LAB");
    if (run == nullptr || *run == '\0') return "TOLM_LAB is not set (start it with lab/lab run)";
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = 16 * 1024;
    std::vector<unsigned char> buffer;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    while (result == ERROR_BUFFER_OVERFLOW) {
        buffer.resize(size);
        result =
            GetAdaptersAddresses(AF_UNSPEC, flags, nullptr,
                                 reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    if (result == ERROR_NO_DATA) return {};
    if (result != NO_ERROR) return "cannot list the adapters: error " + std::to_string(result);
    for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter != nullptr;
         adapter = adapter->Next) {
        if (adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK) continue;
        const wchar_t* name = adapter->FriendlyName;
        if (name == nullptr || std::wcsncmp(name, kLabLinkPrefix, 2) != 0)
            return "adapter " + Narrow(name) + " is not a lab link";
    }
    return {};
}

void RequireLab(const char* program) {
    const std::string why = WhyNotInLab();
    if (why.empty()) return;
    std::fprintf(stderr, "%s: refusing to run outside the lab network: %s\n", program, why.c_str());
    std::fflush(stderr);
    std::exit(3);
}

}  // namespace tolm::windows_test
