#include "cli/delivery/confirmation_schedule.h"

#include <algorithm>

namespace tolm::linkora {
namespace {

// Where a module's reply may come from; 0 is a sender the library could not tell.
std::set<std::uint32_t> SendersOf(const ModuleSender& module) {
    std::set<std::uint32_t> senders{module.module.sender};
    if (module.new_ip) senders.insert(*module.new_ip);
    return senders;
}

bool Meet(const std::set<std::uint32_t>& a, const std::set<std::uint32_t>& b) {
    return std::any_of(a.begin(), a.end(), [&](std::uint32_t s) { return b.count(s) != 0; });
}

}  // namespace

ConfirmationSchedule::ConfirmationSchedule(std::vector<ModuleSender> modules,
                                           std::size_t max_in_flight,
                                           std::vector<std::optional<std::size_t>> waits_for)
    : modules_(std::move(modules)),
      states_(modules_.size(), State::kWaiting),
      waits_for_(std::move(waits_for)),
      confirmed_(modules_.size(), false),
      max_in_flight_(std::max<std::size_t>(max_in_flight, 1)) {}

bool ConfirmationSchedule::NamesMac(std::size_t request) const {
    const std::uint32_t sender = modules_[request].module.sender;
    return sender != 0 && naming_senders_.count(sender) != 0;
}

bool ConfirmationSchedule::MayGoWith(std::size_t request, std::size_t other) const {
    if (NamesMac(request) && NamesMac(other)) return true;
    return !Meet(SendersOf(modules_[request]), SendersOf(modules_[other]));
}

std::vector<std::size_t> ConfirmationSchedule::Next() {
    std::vector<std::size_t> going;
    if (stopped_) return going;
    std::vector<std::size_t> in_flight = InFlight();
    for (std::size_t r = 0; r < modules_.size() && in_flight.size() < max_in_flight_; ++r) {
        if (states_[r] != State::kWaiting) continue;
        if (r < waits_for_.size() && waits_for_[r] && !confirmed_[*waits_for_[r]]) continue;
        if (!std::all_of(in_flight.begin(), in_flight.end(),
                         [&](std::size_t other) { return MayGoWith(r, other); }))
            continue;
        states_[r] = State::kInFlight;
        in_flight.push_back(r);
        going.push_back(r);
    }
    return going;
}

std::optional<std::size_t> ConfirmationSchedule::Whose(const ReplyFrom& reply) const {
    std::optional<std::size_t> whose;
    for (std::size_t r = 0; r < modules_.size(); ++r) {
        if (states_[r] != State::kInFlight || !IsFromModule(reply, modules_[r])) continue;
        if (whose) return std::nullopt;
        whose = r;
    }
    return whose;
}

void ConfirmationSchedule::Done(std::size_t request, bool reply_named_mac, bool confirmed) {
    states_[request] = State::kDone;
    confirmed_[request] = confirmed;
    if (reply_named_mac && modules_[request].module.sender != 0)
        naming_senders_.insert(modules_[request].module.sender);
}

std::vector<std::size_t> ConfirmationSchedule::TakeBlocked() {
    std::vector<std::size_t> blocked;
    for (bool more = true; more;) {
        more = false;
        for (std::size_t r = 0; r < waits_for_.size(); ++r) {
            const std::optional<std::size_t>& first = waits_for_[r];
            if (states_[r] != State::kWaiting || !first || states_[*first] != State::kDone ||
                confirmed_[*first])
                continue;
            states_[r] = State::kDone;
            blocked.push_back(r);
            more = true;  // who waited for this one is blocked too
        }
    }
    return blocked;
}

std::vector<std::size_t> ConfirmationSchedule::InFlight() const {
    std::vector<std::size_t> in_flight;
    for (std::size_t r = 0; r < states_.size(); ++r)
        if (states_[r] == State::kInFlight) in_flight.push_back(r);
    return in_flight;
}

bool ConfirmationSchedule::Finished() const {
    for (const State state : states_)
        if (state == State::kInFlight || (state == State::kWaiting && !stopped_)) return false;
    return true;
}

}  // namespace tolm::linkora
