#include "pending_notifications.h"

#include "tolm.h"

bool PendingNotifications::Raise(std::int32_t code) noexcept {
    if (code < TOLM_NOTIFY_RESPONSE || code > TOLM_NOTIFY_INVALID_PASSWORD) return false;
    m_raised.fetch_or(Bit(code));
    return !m_bMessageOnItsWay.exchange(true);
}

unsigned PendingNotifications::Take() noexcept {
    // Cleared first: whatever is raised after it is taken now or by the
    // message that its Raise asks for.
    m_bMessageOnItsWay.store(false);
    return m_raised.exchange(0);
}
