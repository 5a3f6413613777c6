// The adapters on POSIX: getifaddrs, and if_indextoname for an arrival
// interface.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include "platform/platform.h"

namespace tolm::platform {
namespace {

std::uint32_t AddressOf(const sockaddr* address) {
    return ntohl(reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr);
}

bool SendsBroadcasts(const ifaddrs* entry) {
    const unsigned flags = entry->ifa_flags;
    return entry->ifa_addr != nullptr && entry->ifa_addr->sa_family == AF_INET &&
           (flags & IFF_UP) && (flags & IFF_BROADCAST) && !(flags & IFF_LOOPBACK) &&
           entry->ifa_netmask != nullptr;
}

}  // namespace

bool ListAdapters(std::vector<Adapter>* adapters) {
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return false;
    adapters->clear();
    bool listed = true;
    try {
        for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
            if (!SendsBroadcasts(entry)) continue;
            Adapter adapter;
            adapter.name = entry->ifa_name;
            adapter.index = ::if_nametoindex(entry->ifa_name);
            adapter.address = AddressOf(entry->ifa_addr);
            adapter.subnet_mask = AddressOf(entry->ifa_netmask);
            // From the mask, as on Windows: an address added without "brd"
            // reports its own address as the broadcast.
            adapter.broadcast = adapter.address | ~adapter.subnet_mask;
            adapters->push_back(std::move(adapter));
        }
    } catch (...) {
        listed = false;
    }
    ::freeifaddrs(list);
    return listed;
}

std::string InterfaceName(std::uint32_t index) {
    char name[IF_NAMESIZE];
    return index != 0 && ::if_indextoname(index, name) != nullptr ? name : "";
}

}  // namespace tolm::platform
