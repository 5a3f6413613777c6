// Which configure requests may be in flight at once. A confirmation counts
// for a module only when it is the module's own (attribution.h); with
// several requests out it must also tell whose it is: by the MAC its text
// names, or by a sender that no other request in flight shares (a module
// may answer from its old address or the one just given). A sender is
// trusted to name MACs once one of its confirmations has; until then,
// requests whose senders meet go one at a time. A request that takes an
// address another module hands over goes only once that module's move is
// confirmed, and never when it was not.
#pragma once

#include <cstddef>
#include <optional>
#include <set>
#include <vector>

#include "cli/delivery/attribution.h"

namespace tolm::linkora {

class ConfirmationSchedule {
  public:
    // waits_for: per request, the request whose confirmation it waits for.
    ConfirmationSchedule(std::vector<ModuleSender> modules, std::size_t max_in_flight,
                         std::vector<std::optional<std::size_t>> waits_for = {});

    // The requests that may go now, in order; each is then in flight.
    std::vector<std::size_t> Next();
    // The request in flight the reply speaks for; nothing when it speaks for
    // none, or could be the reply to more than one.
    std::optional<std::size_t> Whose(const ReplyFrom& reply) const;
    // The request has its reply, or has waited long enough; a reply that
    // named the module's MAC teaches that its sender's replies do.
    void Done(std::size_t request, bool reply_named_mac, bool confirmed = true);
    // The waiting requests that can never go: the one each waits for ended
    // unconfirmed. Each is done now.
    std::vector<std::size_t> TakeBlocked();
    // Nothing further goes (Ctrl-C); those in flight still count.
    void StopSending() { stopped_ = true; }

    bool IsInFlight(std::size_t request) const { return states_[request] == State::kInFlight; }
    std::vector<std::size_t> InFlight() const;
    bool WasSent(std::size_t request) const { return states_[request] != State::kWaiting; }
    // Nothing in flight and nothing more to send.
    bool Finished() const;

  private:
    enum class State { kWaiting, kInFlight, kDone };

    bool NamesMac(std::size_t request) const;
    bool MayGoWith(std::size_t request, std::size_t other) const;

    std::vector<ModuleSender> modules_;
    std::vector<State> states_;
    std::vector<std::optional<std::size_t>> waits_for_;
    std::vector<bool> confirmed_;
    std::size_t max_in_flight_;
    std::set<std::uint32_t> naming_senders_;
    bool stopped_ = false;
};

}  // namespace tolm::linkora
