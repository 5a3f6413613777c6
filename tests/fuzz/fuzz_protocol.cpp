// Feeds arbitrary datagrams to the receive-side code, and arbitrary records
// to the composer. The input is copied into a block of exactly its size, so
// any read past the datagram's end is caught.
#include <cstdint>
#include <cstring>
#include <memory>

#include "protocol/messages.h"

namespace tp = tolm::protocol;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 1500) return -1;
    std::unique_ptr<char[]> datagram(new char[size ? size : 1]);
    std::memcpy(datagram.get(), data, size);
    const std::string_view text = tp::DatagramText(datagram.get(), size);
    switch (tp::Classify(text)) {
        case tp::DatagramKind::kInvalidPassword:
            tp::ParseInvalidPassword(text);
            break;
        case tp::DatagramKind::kScanResponse: {
            const TOLM_ModuleScanResponseType r = tp::ParseScanResponse(text);
            if (r.bHostNameValid) __builtin_strlen(r.szHostName);
            if (r.bFbTypeValid) __builtin_strlen(r.szFbType);
            break;
        }
        default:
            break;
    }
    if (size >= sizeof(TOLM_ConfigureRequestType)) {
        TOLM_ConfigureRequestType request;
        std::memcpy(&request, data, sizeof request);
        if (const auto composed = tp::ComposeConfigureRequest(request))
            if (composed->size() > tp::kMaxConfigureText) __builtin_trap();
    }
    return 0;
}
