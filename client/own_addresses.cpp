#include "client/own_addresses.h"

namespace tolm::client {

std::vector<std::uint32_t> OwnAddresses(TOLM_GetAdaptersFn get_adapters) {
    if (get_adapters == nullptr) return {};
    std::vector<TOLM_AdapterType> adapters(16);
    int32_t count = 0;
    // An adapter may come up between the two calls: ask until the list fits.
    while ((count = get_adapters(adapters.data(), static_cast<int32_t>(adapters.size()))) >
           static_cast<int32_t>(adapters.size()))
        adapters.resize(static_cast<std::size_t>(count));
    std::vector<std::uint32_t> addresses;
    for (int32_t i = 0; i < count; ++i) addresses.push_back(adapters[i].dwAddress);
    return addresses;
}

}  // namespace tolm::client
