// Properties of what the receive side makes of one datagram.
#pragma once

#include <cstddef>

namespace tolm::fuzz {

// datagram holds exactly size bytes, with no NUL after them.
void CheckReceivedDatagram(const char* datagram, std::size_t size);

}  // namespace tolm::fuzz
