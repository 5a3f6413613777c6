// A fuzz target over deliberately faulty code, copied into a block of exactly
// the input's size like the protocol's target.
#include <cstdint>
#include <cstring>
#include <memory>

#include "faulty_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<char[]> text(new char[size ? size : 1]);
    std::memcpy(text.get(), data, size);
    tolm::fuzz::ReadFaulty({text.get(), size});
    return 0;
}
