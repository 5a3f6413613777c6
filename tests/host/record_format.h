// Scan-response records and MAC addresses as the host prints them: every
// field as key=value, addresses as 0xXXXXXXXX, texts escaped.
#pragma once

#include <cstdint>
#include <string>

#include "tolm.h"

namespace tolm::host {

// Every field in declaration order, flags included; with raw, also the
// record's bytes as raw=<hex>.
std::string FormatResponse(const TOLM_ModuleScanResponseType& response, bool raw);

}  // namespace tolm::host
