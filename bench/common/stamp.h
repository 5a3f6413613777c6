// The latency benchmark's answer: a full scan response in the simulator's
// form whose host name carries the send time in nanoseconds ("hn = <ns>;"),
// so the host reads the stamp from the record the library hands it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "tolm.h"

namespace tolm::bench {

// The datagram's text (its NUL not included) for the answer number `index`.
std::string ComposeStampedAnswer(std::uint32_t index, std::int64_t stamp_ns);

// The stamp of a record parsed from such an answer; nothing when the host
// name is missing or is not a plain decimal number.
std::optional<std::int64_t> StampOf(const TOLM_ModuleScanResponseType& record);

}  // namespace tolm::bench
