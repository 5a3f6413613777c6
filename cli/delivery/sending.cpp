#include "cli/delivery/sending.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

#include "cli/command_line/failure.h"
#include "cli/delivery/attribution.h"
#include "cli/delivery/confirmation_schedule.h"
#include "cli/delivery/mismatches.h"
#include "cli/output/console.h"
#include "cli/output/progress_line.h"
#include "cli/output/scan_report.h"
#include "cli/output/utc_time.h"
#include "cli/platform/terminal.h"
#include "cli/session/scan.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

// Enough to keep a line busy, few enough that a slow module's queue keeps up.
constexpr std::size_t kMaxInFlight = 64;
constexpr Milliseconds kTick{100};

const char* ReplyName(int code) {
    return code == TOLM_NOTIFY_RECONFIGURED ? "\"Reconfigured:\"" : "\"Invalid Password:\"";
}

ModuleSender SenderOf(const ModuleRun& run) {
    return {*run.before, run.to_send.ip_address, run.to_send.dhcp == true};
}

std::string Progress(std::size_t sent, std::size_t answered, std::size_t total) {
    return "Applying: " + std::to_string(sent) + " of " + std::to_string(total) + " sent, " +
           std::to_string(answered) + " answered";
}

// The replies that speak for a request in flight, one per request: a refusal
// wins over a confirmation that came with it. Others are told once per sender.
std::map<std::size_t, ReplyFrom> TakeReplies(TolmSession& session,
                                             const ConfirmationSchedule& schedule,
                                             const std::vector<ModuleSender>& modules,
                                             std::set<std::uint32_t>& told) {
    std::map<std::size_t, ReplyFrom> replies;
    for (int n = 0; n < TOLM_MAX_QUEUED_REPLIES; ++n) {
        const std::optional<ReplyFrom> reply = session.TakeReply();
        if (!reply) break;
        const std::optional<std::size_t> whose = schedule.Whose(*reply);
        if (!whose) {
            if (told.insert(reply->sender).second)
                Warn(std::string("ignored a ") + ReplyName(reply->code) + " from " +
                     client::IpText(reply->sender) +
                     (reply->adapter.empty() ? "" : " via " + reply->adapter) +
                     (modules.size() == 1
                          ? ": it does not come from the module (" +
                                SenderText(modules.front().module) + ")"
                          : ": it is the reply of no one module whose request waits"));
            continue;
        }
        auto [at, added] = replies.emplace(*whose, *reply);
        if (!added && reply->code == TOLM_NOTIFY_INVALID_PASSWORD) at->second = *reply;
    }
    return replies;
}

}  // namespace

bool Deliver(TolmSession& session, std::vector<ModuleRun>& runs, Milliseconds confirm_wait,
             DeliveryEvents& events) {
    std::vector<ModuleRun*> jobs;
    std::vector<ModuleSender> modules;
    std::map<std::size_t, std::size_t> job_of;  // by index among the runs
    for (std::size_t r = 0; r < runs.size(); ++r)
        if (runs[r].outcome == Outcome::kWouldChange) {
            runs[r].outcome = Outcome::kNotSent;
            job_of[r] = jobs.size();
            jobs.push_back(&runs[r]);
            modules.push_back(SenderOf(runs[r]));
        }
    std::vector<std::optional<std::size_t>> waits_for;
    for (const ModuleRun* run : jobs)
        waits_for.push_back(run->waits_for && job_of.count(*run->waits_for) != 0
                                ? std::optional<std::size_t>(job_of.at(*run->waits_for))
                                : std::nullopt);
    ConfirmationSchedule schedule(modules, kMaxInFlight, waits_for);
    int interrupts_told = 0;
    if (Interrupted()) {
        schedule.StopSending();
        interrupts_told = Interrupts();
    }
    std::vector<Clock::time_point> deadlines(jobs.size());
    // Only replies to these requests count.
    for (int n = 0; n < TOLM_MAX_QUEUED_REPLIES && session.TakeReply(); ++n) {
    }
    ProgressLine progress;
    std::set<std::uint32_t> told;
    std::size_t sent = 0, answered = 0;
    while (!schedule.Finished()) {
        const int interrupts = Interrupts();
        if (interrupts > interrupts_told) {
            schedule.StopSending();
            Warn(interrupts > 1 ? "Ctrl-C again: no longer waiting for confirmations"
                                : "Ctrl-C: no further requests go; waiting for the confirmations "
                                  "asked for (Ctrl-C again to stop waiting)");
            interrupts_told = interrupts;
        }
        const bool hurry = interrupts > 1;
        for (const std::size_t j : schedule.Next()) {
            ModuleRun& run = *jobs[j];
            events.Sending(run);
            try {
                session.SendConfigure(*run.request, *run.before);
            } catch (const Failure& failure) {
                run.why_not_sent = failure.what();
                Warn(client::MacText(run.planned.mac.data()) + ": " + failure.what());
                schedule.Done(j, false, false);
                continue;
            }
            run.sent_at = UtcTimeText(std::chrono::system_clock::now());
            events.Sent(run);
            deadlines[j] = Clock::now() + confirm_wait;
            ++sent;
        }
        // Answers are not wanted now, but must not fill the library's queue.
        TakeQueued(
            session, Clock::now() + kTick, [](const Answer&) {}, 2);
        const std::map<std::size_t, ReplyFrom> replies =
            TakeReplies(session, schedule, modules, told);
        for (const auto& [j, reply] : replies) {
            jobs[j]->outcome = reply.code == TOLM_NOTIFY_INVALID_PASSWORD
                                   ? Outcome::kInvalidPassword
                                   : Outcome::kConfirmed;
            schedule.Done(j, reply.mac.has_value(), jobs[j]->outcome == Outcome::kConfirmed);
            events.Replied(*jobs[j]);
            ++answered;
        }
        bool freed = !replies.empty();
        const Clock::time_point now = Clock::now();
        Clock::time_point wake = now + kTick;
        for (const std::size_t j : schedule.InFlight()) {
            if (hurry || now >= deadlines[j]) {
                jobs[j]->outcome = Outcome::kNotConfirmed;
                schedule.Done(j, false, false);
                events.Replied(*jobs[j]);
                freed = true;
            } else {
                wake = std::min(wake, deadlines[j]);
            }
        }
        for (const std::size_t j : schedule.TakeBlocked()) {
            const ModuleRun& first = *jobs[*waits_for[j]];
            jobs[j]->mismatches.push_back("not sent: its new address is " +
                                          client::MacText(first.planned.mac.data()) +
                                          "'s, whose move was not confirmed");
            freed = true;
        }
        if (jobs.size() > 1) progress.Show(Progress(sent, answered, jobs.size()));
        // A request done may let the next ones go at once.
        if (!freed && !schedule.Finished()) session.WaitUntil(wake);
    }
    return interrupts_told > 0;
}

void VerifyAll(TolmSession& session, std::vector<ModuleRun>& runs, Milliseconds verify_wait,
               Milliseconds scan_wait) {
    std::vector<ModuleRun*> pending, sent;
    for (ModuleRun& run : runs) {
        if (!run.sent_at.empty()) sent.push_back(&run);
        if (run.outcome == Outcome::kConfirmed) pending.push_back(&run);
    }
    if (pending.empty()) return;
    const auto judged = [](const ModuleList& list, const ModuleRun& run) {
        const std::uint8_t* mac = run.planned.mac.data();
        std::vector<Answer> answers = list.ConflictOf(mac);
        if (answers.empty() && list.Find(mac) != nullptr) answers.push_back(*list.Find(mac));
        return JudgeAnswers(answers, SenderOf(run));
    };
    const Clock::time_point deadline = Clock::now() + verify_wait;
    ProgressLine progress;
    bool told = Interrupted();  // Ctrl-C during the sending was told there
    while (!pending.empty() && Clock::now() < deadline && Interrupts() < 2) {
        if (!told && Interrupted()) {
            Warn("Ctrl-C: the verification goes on (Ctrl-C again to stop it)");
            told = true;
        }
        // A whole scan decides: a second sender that answers later is heard too.
        ScanLimits limits;
        limits.max_wait = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now());
        limits.min_wait = std::min(limits.max_wait, scan_wait);
        ModuleList list;
        try {
            Scan(session, limits, list, nullptr, 2);
        } catch (const Failure& failure) {
            // What was sent is still told: those left count as not verified.
            Warn(std::string("cannot verify: ") + failure.what());
            break;
        }
        for (ModuleRun* run : sent)
            if (const Verdict verdict = judged(list, *run); verdict.answer)
                run->after = verdict.answer;
        std::vector<ModuleRun*> still;
        for (ModuleRun* run : pending) {
            const Verdict verdict = judged(list, *run);
            run->mismatches = verdict.answer ? Mismatches(run->to_send, verdict.answer->record)
                                             : std::vector<std::string>{verdict.problem};
            if (verdict.answer && run->mismatches.empty())
                run->outcome = Outcome::kVerified;
            else if (verdict.final)
                run->outcome = Outcome::kNotVerified;
            else
                still.push_back(run);
        }
        pending = std::move(still);
        if (sent.size() > 1)
            progress.Show("Verifying: " + std::to_string(pending.size()) + " modules to go");
        if (!pending.empty())
            session.WaitUntil(std::min(deadline, Clock::now() + Milliseconds(200)));
    }
    if (!pending.empty() && Interrupts() > 1)
        Warn("Ctrl-C again: no longer verifying; what was not yet seen counts as not verified");
    for (ModuleRun* run : pending) {
        run->outcome = Outcome::kNotVerified;
        if (run->mismatches.empty())
            run->mismatches.push_back("the module was not scanned again after the change");
    }
}

}  // namespace tolm::linkora
