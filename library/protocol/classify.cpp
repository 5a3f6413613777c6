#include <cstring>

#include "messages.h"
#include "text_scan.h"

namespace tolm::protocol {

std::string_view DatagramText(const char* data, std::size_t length) {
    const void* nul = std::memchr(data, '\0', length);
    return {data, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - data) : length};
}

DatagramKind Classify(std::string_view text) {
    if (StartsWithNoCase(text, "Reconfigured:")) return DatagramKind::kReconfigured;
    if (StartsWithNoCase(text, "Invalid Password:")) return DatagramKind::kInvalidPassword;
    if (StartsWithNoCase(text, kScanRequest)) return DatagramKind::kScanRequest;
    // Every host hears its own broadcast, and other tools configure modules on
    // the same segment: such a request is not a module's answer.
    if (StartsWithNoCase(text, kConfigurePrefix)) return DatagramKind::kConfigureRequest;
    return DatagramKind::kScanResponse;
}

}  // namespace tolm::protocol
