// Properties of the configure request composed from a record.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tolm::fuzz {

// Builds a record from the bytes and checks what the composer makes of it.
void CheckComposedRequest(const std::uint8_t* data, std::size_t size);

}  // namespace tolm::fuzz
