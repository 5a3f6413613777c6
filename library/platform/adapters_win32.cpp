// The adapters on Windows: GetAdaptersAddresses. Under Wine 8 an adapter's
// friendly name is the Linux link's name and its IfIndex the link's index,
// the same index WSARecvMsg's IP_PKTINFO gives (lab.engine.wine.adapters).
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
// clang-format on

#include "platform/platform.h"

namespace tolm::platform {
namespace {

// The adapter list, or nothing when it cannot be had.
bool ReadAdapters(std::vector<unsigned char>* buffer) {
    const ULONG flags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = 16 * 1024;
    ULONG result = ERROR_BUFFER_OVERFLOW;
    while (result == ERROR_BUFFER_OVERFLOW) {
        buffer->resize(size);
        result =
            GetAdaptersAddresses(AF_INET, flags, nullptr,
                                 reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer->data()), &size);
    }
    if (result == ERROR_NO_DATA) buffer->clear();
    return result == NO_ERROR || result == ERROR_NO_DATA;
}

const IP_ADAPTER_ADDRESSES* First(const std::vector<unsigned char>& buffer) {
    return buffer.empty() ? nullptr : reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data());
}

std::string Narrow(const wchar_t* text) {
    std::string narrow;
    for (; text != nullptr && *text != L'\0'; ++text)
        narrow += *text < 0x80 ? static_cast<char>(*text) : '?';
    return narrow;
}

// Loopback, point-to-point and tunnel adapters, and /32 addresses, have no
// broadcast address.
bool HasBroadcast(const IP_ADAPTER_ADDRESSES* adapter, const IP_ADAPTER_UNICAST_ADDRESS* address) {
    return adapter->OperStatus == IfOperStatusUp && adapter->IfType != IF_TYPE_SOFTWARE_LOOPBACK &&
           adapter->IfType != IF_TYPE_PPP && adapter->IfType != IF_TYPE_TUNNEL &&
           address->Address.lpSockaddr->sa_family == AF_INET && address->OnLinkPrefixLength > 0 &&
           address->OnLinkPrefixLength < 32;
}

}  // namespace

bool ListAdapters(std::vector<Adapter>* adapters) {
    std::vector<unsigned char> buffer;
    if (!ReadAdapters(&buffer)) return false;
    adapters->clear();
    for (const IP_ADAPTER_ADDRESSES* adapter = First(buffer); adapter != nullptr;
         adapter = adapter->Next) {
        for (const IP_ADAPTER_UNICAST_ADDRESS* address = adapter->FirstUnicastAddress;
             address != nullptr; address = address->Next) {
            if (!HasBroadcast(adapter, address)) continue;
            const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(address->Address.lpSockaddr);
            Adapter listed;
            listed.name = Narrow(adapter->FriendlyName);
            listed.index = adapter->IfIndex;
            listed.address = ntohl(ipv4->sin_addr.s_addr);
            listed.subnet_mask = 0xFFFFFFFFu << (32 - address->OnLinkPrefixLength);
            listed.broadcast = listed.address | ~listed.subnet_mask;
            adapters->push_back(std::move(listed));
        }
    }
    return true;
}

std::string InterfaceName(std::uint32_t index) {
    std::vector<unsigned char> buffer;
    if (index == 0 || !ReadAdapters(&buffer)) return {};
    for (const IP_ADAPTER_ADDRESSES* adapter = First(buffer); adapter != nullptr;
         adapter = adapter->Next)
        if (adapter->IfIndex == index) return Narrow(adapter->FriendlyName);
    return {};
}

}  // namespace tolm::platform
