// This PC's own addresses as the library lists its adapters.
#include "client/own_addresses.h"

#include <gtest/gtest.h>

namespace tolm::client {
namespace {

// A library whose adapter list grows by one after the first call, or that
// cannot list its adapters when g_listed is -1.
int32_t g_listed = 0;
int g_calls = 0;

int32_t TOLM_API GetAdapters(TOLM_AdapterType* adapters, int32_t capacity) {
    const int32_t listed = g_listed < 0 || g_calls++ == 0 ? g_listed : g_listed + 1;
    for (int32_t i = 0; i < listed && i < capacity; ++i)
        adapters[i] = TOLM_AdapterType{"eth", 1, 0x0A000001u + static_cast<uint32_t>(i), 0, 0};
    return listed;
}

TEST(OwnAddresses, EveryListedAdapterThoughMoreThanTheFirstBufferAndNoneWithoutAList) {
    g_listed = 20, g_calls = 0;
    const std::vector<std::uint32_t> own = OwnAddresses(&GetAdapters);
    ASSERT_EQ(own.size(), 21u) << "the adapter that came up between the calls counts too";
    EXPECT_EQ(own.front(), 0x0A000001u);
    EXPECT_EQ(own.back(), 0x0A000015u);

    g_listed = -1, g_calls = 0;
    EXPECT_TRUE(OwnAddresses(&GetAdapters).empty());
    EXPECT_TRUE(OwnAddresses(nullptr).empty());
}

}  // namespace
}  // namespace tolm::client
