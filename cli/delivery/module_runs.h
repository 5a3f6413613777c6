// A plan's modules through one delivery (apply, or set's plan of one): what
// each reported before, what the plan changes, the request, what it reports
// after and how it ended; and the table of those results.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/plan/plan.h"
#include "cli/session/module_list.h"
#include "client/configure_request.h"

namespace tolm::linkora {

enum class Outcome {
    kUnchanged,           // already as planned: nothing sent
    kWouldChange,         // dry run: a request would go
    kNotSent,             // refused plan, Ctrl-C before its turn, or a send that failed
    kMissing,             // planned, did not answer
    kConflictingAnswers,  // its MAC answers from two senders, or differently
    kInvalidPassword,     // the module refused the password
    kNotConfirmed,        // no reply of its own in time
    kConfirmed,           // set --no-verify: confirmed, not scanned again
    kNotVerified,         // confirmed, yet it does not report the planned values
    kVerified,            // confirmed and reports the planned values
};
const char* OutcomeName(Outcome outcome);
// Unchanged and verified modules are as planned; nothing else is.
bool EndsAsPlanned(Outcome outcome);

struct ModuleRun {
    PlannedModule planned;
    std::optional<Answer> before;                      // its answer before, if it answered
    std::vector<FieldChange> changes;                  // planned values it did not report
    client::ConfigureChanges to_send;                  // those, for the request
    std::optional<TOLM_ConfigureRequestType> request;  // passwords in it
    std::string sent_at;                               // UTC; empty when nothing was sent
    std::optional<Answer> after;                       // its last answer seen, if any
    std::vector<std::string> mismatches;               // what it reports otherwise than planned
    Outcome outcome = Outcome::kNotSent;
    std::string why_not_sent;  // a send that failed: why; empty otherwise
    // The run whose module holds the address this one is to take, and hands
    // it over first (its index among the runs).
    std::optional<std::size_t> waits_for;
};

// One run per planned module in the plan's order (a MAC planned twice once,
// from its first line): missing, conflicting-answers, unchanged, or
// would-change for those a request must go to; with a new password every
// module that answered would change. A run that takes an address another
// run's module gives up waits for it.
std::vector<ModuleRun> PlanRuns(const Plan& plan, const ModuleList& list, bool new_password);

// MAC, the changes (field: before -> after) and the result, one row each.
std::string ResultTable(const std::vector<ModuleRun>& runs);

// The request's pieces as they go on the wire, passwords as "****".
std::vector<std::string> MaskedPieces(const TOLM_ConfigureRequestType& request);

}  // namespace tolm::linkora
