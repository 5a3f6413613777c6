// The protocol's datagrams as pure functions over text: classification,
// parsing of scan responses and invalid-password replies, composing of the
// configure request. No sockets, no globals.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tolm.h"

namespace tolm::protocol {

// The scan request; it goes on the wire followed by one NUL (12 bytes).
inline constexpr std::string_view kScanRequest = "Module Scan";

// Longest configure-request text and piece that a module reads whole.
inline constexpr std::size_t kMaxConfigureText = 399;
inline constexpr std::size_t kMaxConfigurePiece = 99;

// Requests from a tool (scans and configure requests, the library's own echoed
// back included) are not answers and are dropped.
enum class DatagramKind {
    kReconfigured,
    kInvalidPassword,
    kScanRequest,
    kConfigureRequest,
    kScanResponse
};

// The configure request's prefix, as composed and as recognised.
inline constexpr std::string_view kConfigurePrefix = "Configure:";

// A datagram read as text: it ends at its first NUL or at its end.
std::string_view DatagramText(const char* data, std::size_t length);

DatagramKind Classify(std::string_view text);

TOLM_ModuleScanResponseType ParseScanResponse(std::string_view text);

using MacAddress = std::array<std::uint8_t, TOLM_MAC_SIZE>;

// FF-FF-FF-FF-FF-FF where no MAC could be read.
MacAddress ParseInvalidPassword(std::string_view text);

// The MAC a "Reconfigured:" or "Invalid Password:" text names right after its
// prefix (blanks skipped); nothing unless all six groups stand there.
std::optional<MacAddress> ReplyMac(std::string_view text);

// The keys of the configure request's text pieces; a piece is its key, its
// text and ';'.
inline constexpr std::string_view kPasswordKey = "Password: ";
inline constexpr std::string_view kNewPasswordKey = "New Password = ";
inline constexpr std::string_view kHostNameKey = "HN = ";

// The request text without its NUL; nothing when a piece or the whole text
// would not fit, since a cut-off request must never be sent.
std::optional<std::string> ComposeConfigureRequest(const TOLM_ConfigureRequestType& request);

// The same text whatever its length, for hosts that tell the user why a
// request would not be sent.
std::string ConfigureRequestText(const TOLM_ConfigureRequestType& request);

}  // namespace tolm::protocol
