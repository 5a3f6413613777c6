// Feeds arbitrary datagrams to the receive side, and records built from the
// same bytes to the composer; traps when a property of the result fails. The
// datagram is copied into a block of exactly its size, so any read past its
// end is caught.
#include <cstdint>
#include <cstring>
#include <memory>

#include "composed_request.h"
#include "received_datagram.h"

namespace {
// The library's receive buffer.
constexpr std::size_t kMaxDatagram = 1500;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxDatagram) return -1;
    std::unique_ptr<char[]> datagram(new char[size ? size : 1]);
    std::memcpy(datagram.get(), data, size);
    tolm::fuzz::CheckReceivedDatagram(datagram.get(), size);
    tolm::fuzz::CheckComposedRequest(data, size);
    return 0;
}
