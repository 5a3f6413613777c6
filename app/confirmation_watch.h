// Configure requests waiting for their module's reply. A module that takes
// a request answers "Reconfigured:", one that refuses it "Invalid
// Password:"; when neither comes, the request may have been lost, or taken
// by a module that does not confirm, and the user is told so once.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "list/configured_module.h"
#include "tolm_ext.h"

class ConfirmationWatch {
  public:
    static constexpr DWORD kWaitMs = 5000;

    // A request went to `module` at `now` (milliseconds of the tick count).
    void Sent(const ConfiguredModule& module, DWORD now);
    // A reply with its sender: ends the wait of every request it speaks for.
    void Replied(const TOLM_ReplyType& reply);
    // Without senders, as the nine exports tell: a "Reconfigured:" names no
    // module, so it ends every wait; an invalid-password entry ends those for
    // its MAC.
    void ReconfiguredByAnyone();
    void RefusedFor(const std::uint8_t* mac);

    // The requests whose wait is over at `now` without a reply, taken off.
    std::vector<ConfiguredModule> Expired(DWORD now);
    // Milliseconds from `now` until the next wait is over; none while nothing waits.
    std::optional<DWORD> NextDue(DWORD now) const;

  private:
    struct Waiting {
        ConfiguredModule module;
        DWORD sent;
    };
    std::vector<Waiting> m_waiting;
};

// What the user is told when no reply came for a request to `module`.
std::string NoConfirmationText(const ConfiguredModule& module);
