#include <chrono>
#include <cstdio>
#include <set>

#include "attribution.h"
#include "audit_log.h"
#include "collect.h"
#include "commands.h"
#include "failure.h"
#include "passwords.h"
#include "printable.h"
#include "record_text.h"
#include "scan_report.h"
#include "set_request.h"
#include "terminal.h"
#include "utc_time.h"
#include "verify.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

void Say(const std::string& line) {
    std::printf("%s\n", PrintableLines(line).c_str());
    std::fflush(stdout);
}

void Warn(const std::string& line) {
    std::fprintf(stderr, "linkora: %s\n", PrintableLines(line).c_str());
    std::fflush(stderr);
}

// Listens for the whole window, so that every sender that answers as the
// MAC is heard; more than one, or answers that differ, and nothing is sent.
Answer FindModule(TolmSession& session, const client::Mac& mac, Milliseconds window) {
    ScanLimits limits;
    limits.min_wait = limits.max_wait = window;
    ModuleList list;
    Scan(session, limits, list);
    const Answer* found = list.Find(mac.data());
    const std::string mac_text = client::MacText(mac.data());
    if (found == nullptr) throw Failure(kNotFound, "the module " + mac_text + " did not answer");
    const std::vector<Answer> conflict = list.ConflictOf(mac.data());
    if (!conflict.empty())
        throw Failure(kConflict, ConflictText({conflict}) + "; nothing was sent");
    return *found;
}

std::string Through(const Answer& module) {
    return module.adapter.empty() ? "" : " through " + module.adapter;
}

const char* ReplyName(int code) {
    return code == TOLM_NOTIFY_RECONFIGURED ? "\"Reconfigured:\"" : "\"Invalid Password:\"";
}

// Waits for the module's own "Reconfigured:" or "Invalid Password:"; a
// refusal wins over a confirmation that came with it. Replies of others are
// told and ignored.
void AwaitConfirmation(TolmSession& session, const ModuleSender& module, Milliseconds wait) {
    const Clock::time_point deadline = Clock::now() + wait;
    std::set<std::uint32_t> told;
    for (;;) {
        // Answers are not wanted now, but must not fill the library's queue.
        TakeQueued(session, deadline, [](const Answer&) {});
        bool confirmed = false;
        for (int n = 0; n < TOLM_MAX_QUEUED_REPLIES; ++n) {
            const std::optional<ReplyFrom> reply = session.TakeReply();
            if (!reply) break;
            if (!IsFromModule(*reply, module)) {
                if (told.insert(reply->sender).second)
                    Warn(std::string("ignored a ") + ReplyName(reply->code) + " from " +
                         client::IpText(reply->sender) +
                         (reply->adapter.empty() ? "" : " via " + reply->adapter) +
                         ": it does not come from the module (" + SenderText(module.module) + ")");
                continue;
            }
            if (reply->code == TOLM_NOTIFY_INVALID_PASSWORD)
                throw Failure(kInvalidPassword, "the module " +
                                                    client::MacText(module.module.record.abMacId) +
                                                    " refused the password; nothing was changed");
            confirmed = true;
        }
        if (confirmed) return;
        if (Clock::now() >= deadline) break;
        session.WaitUntil(deadline);
    }
    throw Failure(kNoConfirmation, "no confirmation from the module within " +
                                       std::to_string(wait.count()) +
                                       " ms; it may or may not have applied the request");
}

// Scans again until the module reports the new values or time is up.
void Verify(TolmSession& session, const ModuleSender& module,
            const client::ConfigureChanges& changes, Milliseconds wait) {
    const Clock::time_point deadline = Clock::now() + wait;
    const std::uint8_t* mac = module.module.record.abMacId;
    const auto answer_in = [&](const ModuleList& list) -> std::optional<Answer> {
        std::vector<Answer> answers = list.ConflictOf(mac);
        if (answers.empty() && list.Find(mac) != nullptr) answers.push_back(*list.Find(mac));
        return AnswerOfModule(answers, module);
    };
    std::vector<std::string> mismatches{"the module did not answer the scans after the change"};
    while (Clock::now() < deadline && !Interrupted()) {
        ScanLimits limits;
        limits.min_wait = limits.max_wait = std::min(
            std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()), Milliseconds(1000));
        ModuleList list;
        Scan(session, limits, list, [&](const ModuleList& l) {
            const std::optional<Answer> answer = answer_in(l);
            return answer && Mismatches(changes, answer->record).empty();
        });
        const std::optional<Answer> answer = answer_in(list);
        if (!answer) continue;
        mismatches = Mismatches(changes, answer->record);
        if (mismatches.empty()) return;
        session.WaitUntil(std::min(deadline, Clock::now() + Milliseconds(200)));
    }
    std::string text = "the module does not report what was set:";
    for (const std::string& line : mismatches) text += "\n  " + line;
    throw Failure(kNotVerified, text);
}

}  // namespace

int RunSet(const CommandLine& c) {
    SetRequest request = CheckSetOptions(c.set);
    Passwords passwords = ReadGivenPasswords(c.set);
    CheckPasswords(request, passwords.current, passwords.next);
    const std::string mac_text = client::MacText(request.mac.data());

    AuditLog log(c.set.log);
    TolmSession session(c.library.empty() ? DefaultLibraryPath() : c.library, c.adapter);
    ModuleSender module{FindModule(session, request.mac, c.set.find_wait),
                        request.changes.ip_address};
    const TOLM_ModuleScanResponseType& record = module.module.record;
    Say("Found " + mac_text + " at " + client::ListRowTexts(record)[client::kColumnIp] +
        " (host name " + client::HostNameText(record) + ")" + Through(module.module) + ".");

    AskMissingPasswords(c.set, record.bPswdValid != 0 && record.bPswdEnabled != 0, mac_text,
                        passwords);
    CheckPasswords(request, passwords.current, passwords.next);
    request.changes.password = passwords.current.value_or("");
    if (c.set.new_password) request.changes.new_password = passwords.next.value_or("");
    std::string error;
    const std::optional<TOLM_ConfigureRequestType> configure =
        client::BuildConfigureRequest(record, request.changes, &error);
    if (!configure) throw Failure(kUsage, error);

    AuditEntry entry;
    entry.command = "set";
    entry.adapter = module.module.adapter;
    entry.mac = mac_text;
    entry.sender = module.module.sender != 0 ? client::IpText(module.module.sender) : "";
    entry.changes = Changes(ReportedSettings(record), SettingsOf(request.changes));
    const auto logged = [&](const char* result, bool confirmed) {
        entry.result = result;
        entry.password_changed = confirmed && request.changes.new_password.has_value();
        std::string error;
        if (!log.Append(entry, &error)) Warn(error);
        if (log.IsOn()) Say("Audit log: " + log.Path());
    };

    // Only replies to this request count.
    for (int n = 0; n < TOLM_MAX_QUEUED_REPLIES && session.TakeReply(); ++n) {
    }
    Say("Sending: " + client::MaskedRequestText(*configure));
    session.SendConfigure(*configure, module.module);
    entry.time = UtcTimeText(std::chrono::system_clock::now());
    bool confirmed = false;
    try {
        AwaitConfirmation(session, module, c.set.confirm_wait);
        confirmed = true;
        Say("Reconfigured: the module confirmed the request.");
        if (!c.set.no_verify) {
            Verify(session, module, request.changes, c.set.verify_wait);
            Say("Verified: the module reports the new values.");
        }
    } catch (const Failure& failure) {
        logged(failure.Code() == kInvalidPassword ? "invalid-password"
               : confirmed                        ? "not-verified"
                                                  : "not-confirmed",
               false);
        throw;
    }
    logged(c.set.no_verify ? "confirmed" : "verified", true);
    return kSuccess;
}

}  // namespace tolm::linkora
