// Scan-response records and MAC addresses as the host prints them: every
// field as key=value, addresses as 0xXXXXXXXX, texts escaped.
#pragma once

#include <cstdint>
#include <string>

#include "tolm.h"

namespace tolm::host {

// "02-00-00-00-00-01".
std::string FormatMac(const uint8_t* mac);

// Every field in declaration order, flags included; with raw, also the
// record's bytes as raw=<hex>.
std::string FormatResponse(const TOLM_ModuleScanResponseType& response, bool raw);

}  // namespace tolm::host
