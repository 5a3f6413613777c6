#include "cli/delivery/module_runs.h"

#include <algorithm>
#include <set>

#include "cli/checks/address_handover.h"
#include "cli/output/table.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

}  // namespace

const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::kUnchanged:
            return "unchanged";
        case Outcome::kWouldChange:
            return "would-change";
        case Outcome::kNotSent:
            return "not-sent";
        case Outcome::kMissing:
            return "missing";
        case Outcome::kConflictingAnswers:
            return "conflicting-answers";
        case Outcome::kInvalidPassword:
            return "invalid-password";
        case Outcome::kNotConfirmed:
            return "not-confirmed";
        case Outcome::kConfirmed:
            return "confirmed";
        case Outcome::kNotVerified:
            return "not-verified";
        case Outcome::kVerified:
            return "verified";
    }
    return "";
}

bool EndsAsPlanned(Outcome outcome) {
    return outcome == Outcome::kUnchanged || outcome == Outcome::kVerified;
}

std::vector<ModuleRun> PlanRuns(const Plan& plan, const ModuleList& list, bool new_password) {
    std::vector<ModuleRun> runs;
    std::set<client::Mac> seen;
    for (const PlannedModule& planned : plan.modules) {
        if (!seen.insert(planned.mac).second) continue;
        ModuleRun run;
        run.planned = planned;
        const Answer* answer = list.Find(planned.mac.data());
        if (answer == nullptr) {
            run.outcome = Outcome::kMissing;
            runs.push_back(std::move(run));
            continue;
        }
        run.before = *answer;
        run.after = *answer;
        const ModuleSettings reported = ReportedSettings(answer->record);
        run.changes = Changes(reported, planned.settings);
        run.to_send = ChangesToSend(reported, planned.settings);
        run.outcome = !list.ConflictOf(planned.mac.data()).empty() ? Outcome::kConflictingAnswers
                      : run.changes.empty() && !new_password       ? Outcome::kUnchanged
                                                                   : Outcome::kWouldChange;
        runs.push_back(std::move(run));
    }
    std::vector<AddressMove> moves;
    for (const ModuleRun& run : runs) {
        AddressMove move;
        if (run.before) move.now = ReportedSettings(run.before->record).ip;
        if (run.outcome == Outcome::kWouldChange) {
            move.next = run.to_send.ip_address;
            move.leaves = run.to_send.ip_address || run.to_send.dhcp == true;
        }
        moves.push_back(move);
    }
    const HandOvers order = OrderHandOvers(moves);
    for (std::size_t r = 0; r < runs.size(); ++r) runs[r].waits_for = order.waits_for[r];
    return runs;
}

std::string ResultTable(const std::vector<ModuleRun>& runs) {
    Table table({"MAC", "Changes", "Result"});
    for (const ModuleRun& run : runs)
        table.Add({client::MacText(run.planned.mac.data()),
                   run.changes.empty() ? "-" : ChangesText(run.changes), OutcomeName(run.outcome)});
    return table.Text();
}

std::vector<std::string> MaskedPieces(const TOLM_ConfigureRequestType& request) {
    // Every piece ends with its ';', and no text in one can hold a ';'.
    const std::string text = client::MaskedRequestText(request);
    std::vector<std::string> pieces;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find(';', start);
        pieces.push_back(text.substr(start, end == std::string::npos ? end : end - start + 1));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return pieces;
}

}  // namespace tolm::linkora
