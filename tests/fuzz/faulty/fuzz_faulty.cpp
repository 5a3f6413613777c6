// A fuzz target over deliberately faulty code, copied into a block of exactly
// the input's size like the protocol's target, and with a property that
// "broken property" breaks.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "faulty_reader.h"
#include "require.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<char[]> copy(new char[size ? size : 1]);
    std::memcpy(copy.get(), data, size);
    const std::string_view text(copy.get(), size);
    tolm::fuzz::ReadFaulty(text);
    tolm::fuzz::Require(!text.starts_with("broken property"), "a deliberately broken property");
    return 0;
}
