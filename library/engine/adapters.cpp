#include "engine/adapters.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "engine/engine.h"

namespace tolm::engine {
namespace {

// Names by interface index, so that a burst of answers costs one lookup per
// adapter: under Wine a lookup lists every adapter. Sends refill it.
class NameCache {
  public:
    std::string NameOf(std::uint32_t index) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& [known, name] : names_)
            if (known == index) return name;
        std::string name = platform::InterfaceName(index);
        names_.emplace_back(index, name);
        return name;
    }

    void Refill(const std::vector<platform::Adapter>& adapters) {
        std::lock_guard<std::mutex> lock(mutex_);
        names_.clear();
        for (const platform::Adapter& adapter : adapters)
            names_.emplace_back(adapter.index, adapter.name);
    }

  private:
    std::mutex mutex_;
    std::vector<std::pair<std::uint32_t, std::string>> names_;
};

NameCache& Names() {
    static NameCache cache;
    return cache;
}

void CopyName(const std::string& name, char (&field)[TOLM_ADAPTER_NAME_SIZE]) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, name.data(), std::min(name.size(), sizeof field - 1));
}

bool Listed(std::vector<platform::Adapter>* adapters) {
    if (!platform::ListAdapters(adapters)) return false;
    Names().Refill(*adapters);
    return true;
}

}  // namespace

int32_t ListAdapters(TOLM_AdapterType* adapters, int32_t capacity) {
    try {
        std::vector<platform::Adapter> listed;
        if (!Listed(&listed)) return -1;
        const auto count = static_cast<int32_t>(listed.size());
        for (int32_t i = 0; i < std::min(count, capacity); ++i) {
            TOLM_AdapterType& out = adapters[i];
            CopyName(listed[i].name, out.szName);
            out.dwIndex = listed[i].index;
            out.dwAddress = listed[i].address;
            out.dwSubnetMask = listed[i].subnet_mask;
            out.dwBroadcast = listed[i].broadcast;
        }
        return count;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

namespace {

// Once per interface: an adapter with a second address (one added to reach
// modules at their factory address, say) is listed twice, and a request
// sent twice would draw the module's refusal of its old password.
template <typename Chosen>
int32_t SendOncePerInterface(std::string_view text, const Chosen& chosen) {
    try {
        std::vector<platform::Adapter> listed;
        if (!Listed(&listed)) return 0;
        std::vector<std::uint32_t> done;
        int32_t sent = 0;
        for (const platform::Adapter& adapter : listed) {
            if (!chosen(adapter) ||
                std::find(done.begin(), done.end(), adapter.index) != done.end())
                continue;
            done.push_back(adapter.index);
            sent += SendThrough(text, adapter);
        }
        return sent;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

}  // namespace

int32_t SendVia(std::string_view text, const char* name) {
    return SendOncePerInterface(text, [name](const platform::Adapter& adapter) {
        return name == nullptr || adapter.name == name;
    });
}

int32_t SendViaIndex(std::string_view text, std::uint32_t index) {
    return SendOncePerInterface(
        text, [index](const platform::Adapter& adapter) { return adapter.index == index; });
}

void DescribeOrigin(const platform::Origin& origin, TOLM_ResponseOriginType* described) {
    std::memset(described, 0, sizeof *described);
    described->dwAdapterIndex = origin.interface_index;
    described->dwSenderAddress = origin.sender_address;
    described->wSenderPort = origin.sender_port;
    if (origin.interface_index == 0) return;
    try {
        CopyName(Names().NameOf(origin.interface_index), described->szAdapter);
    } catch (const std::bad_alloc&) {
        // The name stays empty: unknown, as the header allows.
    }
}

}  // namespace tolm::engine
