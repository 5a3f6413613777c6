#include "scan_cycle.h"

#include <cstring>

#include "tolm_ext.h"

namespace {

// A take from the library's queue costs tens of microseconds; one that takes
// this long waited for the library's lock.
constexpr double kBusyLibraryMs = 2;

double NowMs() {
    LARGE_INTEGER now;
    LARGE_INTEGER frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string TextForSocketStatus(int status, int os_error) {
    switch (status) {
        case TOLM_SOCKET_OK:
            return "The scan could not be sent on the network.\n\n"
                   "Check the network connection and press Scan again.";
        case TOLM_SOCKET_PORT_IN_USE:
            return "The scan could not be sent: another program uses UDP port 3250.\n\n"
                   "Close that program and start this program again.";
        case TOLM_SOCKET_ACCESS_DENIED:
            return "The scan could not be sent: this program may not use UDP port 3250 or send "
                   "broadcasts.\n\n"
                   "Allow UDP port 3250 in and out in the firewall and start this program again.";
        case TOLM_SOCKET_NO_NETWORK:
            return "The scan could not be sent: this computer has no IPv4 network.\n\n"
                   "Connect it to the modules' network and start this program again.";
        case TOLM_SOCKET_NO_MEMORY:
            return "The scan could not be sent: the library ran out of memory.\n\n"
                   "Close other programs and start this program again.";
        default:
            return "The scan could not be sent: UDP port 3250 could not be opened (error " +
                   std::to_string(os_error) +
                   ").\n\nClose other programs that use the port and start this program again.";
    }
}

}  // namespace

std::string ScanNotSentText(const TolmFunctions& tolm) {
    // A library without the extension does not tell; the likeliest cause is named.
    if (tolm.TOLM_GetSocketStatus == nullptr)
        return TextForSocketStatus(TOLM_SOCKET_PORT_IN_USE, 0);
    std::int32_t os_error = 0;
    const int status = tolm.TOLM_GetSocketStatus(&os_error);
    return TextForSocketStatus(status, os_error);
}

TakeOutcome TakeResponses(const TolmFunctions& tolm, DWORD budget_ms, const TakeAnswer& take) {
    const DWORD start = ::GetTickCount();
    TOLM_ModuleScanResponseType response;
    TOLM_ResponseOriginType origin;
    const bool with_origin = tolm.TOLM_GetResponseWithOrigin != nullptr;
    const TOLM_ResponseOriginType* told = with_origin ? &origin : nullptr;
    for (;;) {
        const double asked = NowMs();
        const bool taken = (with_origin ? tolm.TOLM_GetResponseWithOrigin(&response, &origin)
                                        : tolm.TOLM_GetResponse(&response)) != 0;
        // Also the case of a take that waited in vain for the lock's whole
        // time-out: it gives 0 with answers still queued.
        if (NowMs() - asked >= kBusyLibraryMs) {
            if (taken) take(response, told);
            return TakeOutcome::kLibraryBusy;
        }
        if (!taken) return TakeOutcome::kQueueEmpty;
        take(response, told);
        if (::GetTickCount() - start >= budget_ms) return TakeOutcome::kTimeUp;
    }
}

void KeepReplies(const TolmFunctions& tolm) {
    TOLM_ReplyType reply;
    if (tolm.TOLM_GetReplyWithOrigin != nullptr) tolm.TOLM_GetReplyWithOrigin(&reply);
}

bool TakeReplies(const TolmFunctions& tolm, const std::optional<ConfiguredModule>& configured,
                 bool reconfigured, ConfirmationWatch& watch) {
    const bool senders_told = tolm.TOLM_GetReplyWithOrigin != nullptr;
    bool refused = false;
    std::uint8_t first[TOLM_MAC_SIZE] = {};
    // Taken off in any case, so that the library's list never fills.
    while (tolm.TOLM_GetInvPswdMacId(first) == 1 && tolm.TOLM_RemoveFirstInvPswdMacId() == 1) {
        if (senders_told) continue;
        watch.RefusedFor(first);
        refused = refused ||
                  (configured && std::memcmp(first, configured->mac.data(), TOLM_MAC_SIZE) == 0);
    }
    if (!senders_told) {
        if (reconfigured) watch.ReconfiguredByAnyone();
        return refused;
    }
    TOLM_ReplyType reply;
    while (tolm.TOLM_GetReplyWithOrigin(&reply) == 1) {
        watch.Replied(reply);
        refused = refused || (reply.nCode == TOLM_NOTIFY_INVALID_PASSWORD && configured &&
                              IsReplyOfModule(reply, *configured));
    }
    return refused;
}

std::optional<DWORD> RescanLimit::OnReconfigured(DWORD now) {
    constexpr DWORD kInterval = 1000;
    if (m_bDue) return std::nullopt;
    m_bDue = true;
    // Unsigned arithmetic keeps this right when the tick count wraps.
    const DWORD since = m_last ? now - *m_last : kInterval;
    return since >= kInterval ? 0 : kInterval - since;
}

void RescanLimit::Rescanned(DWORD now) {
    m_last = now;
    m_bDue = false;
}
