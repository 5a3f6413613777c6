// The library's notifications waiting for the main window. The library's
// callback raises them on its thread; the window takes them all at once on
// its own. One message is on its way at a time, however many notifications
// arrive: the number of messages a thread may have posted is limited, and a
// message per answer would strand answers behind the ones that failed.
#pragma once

#include <atomic>
#include <cstdint>

class PendingNotifications {
  public:
    // Records `code`; true when no message is on its way, so one is to be
    // sent now. Codes other than the three are ignored.
    bool Raise(std::int32_t code) noexcept;
    // The message could not be sent: the next Raise asks for one again.
    void Unsent() noexcept { m_bMessageOnItsWay.store(false); }
    // Everything raised since the last Take (bit 1 << code for each code);
    // a notification raised from now on asks for a new message.
    unsigned Take() noexcept;

    static bool Has(unsigned raised, std::int32_t code) { return (raised & Bit(code)) != 0; }

  private:
    static unsigned Bit(std::int32_t code) { return 1u << static_cast<unsigned>(code); }

    std::atomic<unsigned> m_raised{0};
    std::atomic<bool> m_bMessageOnItsWay{false};
};
