#include "confirmation_watch.h"

#include <algorithm>
#include <cstring>

#include "record_text.h"

void ConfirmationWatch::Sent(const ConfiguredModule& module, DWORD now) {
    m_waiting.push_back({module, now});
}

void ConfirmationWatch::Replied(const TOLM_ReplyType& reply) {
    std::erase_if(m_waiting, [&](const Waiting& w) { return IsReplyOfModule(reply, w.module); });
}

void ConfirmationWatch::ReconfiguredByAnyone() {
    m_waiting.clear();
}

void ConfirmationWatch::RefusedFor(const std::uint8_t* mac) {
    std::erase_if(m_waiting, [mac](const Waiting& w) {
        return std::memcmp(w.module.mac.data(), mac, TOLM_MAC_SIZE) == 0;
    });
}

std::vector<ConfiguredModule> ConfirmationWatch::Expired(DWORD now) {
    std::vector<ConfiguredModule> expired;
    // Unsigned arithmetic keeps this right when the tick count wraps.
    std::erase_if(m_waiting, [&](const Waiting& w) {
        if (now - w.sent < kWaitMs) return false;
        expired.push_back(w.module);
        return true;
    });
    return expired;
}

std::optional<DWORD> ConfirmationWatch::NextDue(DWORD now) const {
    std::optional<DWORD> next;
    for (const Waiting& w : m_waiting) {
        const DWORD waited = now - w.sent;
        const DWORD left = waited >= kWaitMs ? 0 : kWaitMs - waited;
        next = std::min(next.value_or(left), left);
    }
    return next;
}

std::string NoConfirmationText(const ConfiguredModule& module) {
    return "No confirmation came from " + tolm::client::MacText(module.mac.data()) +
           " within 5 seconds of Set: the settings may not have been applied.\n\n"
           "Press Scan to see what the module reports now.";
}
