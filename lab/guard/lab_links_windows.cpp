// iphlpapi.h needs the socket types first.
// clang-format off
#include <winsock2.h>
#include <iphlpapi.h>
// clang-format on

#include <vector>

#include "lab_guard.h"
#include "lab_links.h"

namespace tolm::lab {
namespace {

std::string Narrow(const wchar_t* text) {
    std::string narrow;
    for (; text != nullptr && *text != L'\0'; ++text)
        narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
    return narrow;
}

}  // namespace

std::string DescribeNonLabLink() {
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
        const std::string name = Narrow(adapter->FriendlyName);
        if (name.rfind(kLinkPrefix, 0) != 0) return "adapter " + name + " is not a lab link";
    }
    return {};
}

}  // namespace tolm::lab
