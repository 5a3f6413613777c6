// Sends through the machine's adapters and the names of where answers came
// from: the extension's side of the engine.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/platform.h"
#include "tolm.h"
#include "tolm_ext.h"

namespace tolm::engine {

// How many adapters there are, the first capacity of them copied; -1 when
// they cannot be listed.
int32_t ListAdapters(TOLM_AdapterType* adapters, int32_t capacity);

// Sends the text to the limited broadcast out of the adapter named name, or
// out of every adapter when name is null, once per interface however many
// addresses it has; returns through how many it went out.
int32_t SendVia(std::string_view text, const char* name);

// The same out of the one interface with this index.
int32_t SendViaIndex(std::string_view text, std::uint32_t index);

// The origin as hosts see it, the adapter named.
void DescribeOrigin(const platform::Origin& origin, TOLM_ResponseOriginType* described);

}  // namespace tolm::engine
