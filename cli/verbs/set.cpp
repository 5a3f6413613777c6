// linkora set: one module's IP settings, host name or password.
#include <chrono>
#include <set>

#include "cli/command_line/failure.h"
#include "cli/command_line/options.h"
#include "cli/delivery/attribution.h"
#include "cli/delivery/audit_log.h"
#include "cli/delivery/mismatches.h"
#include "cli/delivery/passwords.h"
#include "cli/output/console.h"
#include "cli/output/scan_report.h"
#include "cli/output/utc_time.h"
#include "cli/platform/terminal.h"
#include "cli/session/scan.h"
#include "cli/verbs/set_request.h"
#include "cli/verbs/verbs.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

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

class SetVerb : public Verb {
  public:
    const char* Name() const override { return "set"; }

    void Define(CLI::App& app) override {
        SetOptions& s = options_;
        CLI::App* set = app.add_subcommand(
            Name(),
            "Sets a module's IP settings: listens for the whole --find-ms window for every answer "
            "as the MAC, sends only the changes given (and the host name, which every request "
            "carries) through the adapter the module answered on, waits for the module's own "
            "confirmation and scans again to verify. Passwords are asked for on the terminal "
            "without echo, or read from --password-stdin or files.");
        set->fallthrough();
        set->add_option("MAC", s.mac, "The module's MAC address, e.g. 02-00-00-00-00-01")
            ->required();
        set->add_option("--ip", s.ip, "New IP address");
        set->add_option("--mask", s.mask, "New subnet mask");
        set->add_option("--gateway", s.gateway, "New default gateway");
        set->add_option("--dhcp", s.dhcp, "DHCP on or off")->check(CLI::IsMember({"on", "off"}));
        set->add_option("--dns1", s.dns1, "New primary DNS server");
        set->add_option("--dns2", s.dns2, "New secondary DNS server");
        set->add_option("--hostname", s.host_name, "New host name: letters, digits and '_'");
        set->add_flag("--new-password", s.passwords.new_password, "Set a new password (asked for)");
        CLI::Option* from_stdin = set->add_flag(
            "--password-stdin", s.passwords.from_stdin,
            "Read the password from standard input's first line (the new one from the next)");
        set->add_option("--password-file", s.passwords.file,
                        "Read the password from FILE's first line")
            ->excludes(from_stdin);
        set->add_option("--new-password-file", s.passwords.new_password_file,
                        "Read the new password from FILE's first line (implies --new-password)");
        set->add_flag("--no-verify", s.no_verify, "Do not scan again to check the new values");
        AddTimings(set, s.find_wait, s.confirm_wait, s.verify_wait,
                   "How long the module is looked for");
        AddLog(set, s.log);
    }

    int Run(const GlobalOptions& global) override {
        SetOptions& o = options_;
        if (!o.passwords.new_password_file.empty()) o.passwords.new_password = true;
        SetRequest request = CheckSetOptions(o);
        Passwords passwords = ReadGivenPasswords(o.passwords);
        CheckPasswords(request, passwords.current, passwords.next);
        const std::string mac_text = client::MacText(request.mac.data());

        AuditLog log(o.log);
        TolmSession session(LibraryPath(global), global.adapter);
        ModuleSender module{FindModule(session, request.mac, o.find_wait),
                            request.changes.ip_address};
        const TOLM_ModuleScanResponseType& record = module.module.record;
        SayLine("Found " + mac_text + " at " + client::ListRowTexts(record)[client::kColumnIp] +
                " (host name " + client::HostNameText(record) + ")" + Through(module.module) + ".");

        AskMissingPasswords(o.passwords, record.bPswdValid != 0 && record.bPswdEnabled != 0,
                            mac_text, passwords);
        CheckPasswords(request, passwords.current, passwords.next);
        request.changes.password = passwords.current.value_or("");
        if (o.passwords.new_password) request.changes.new_password = passwords.next.value_or("");
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
            if (log.IsOn()) SayLine("Audit log: " + log.Path());
        };

        // Only replies to this request count.
        for (int n = 0; n < TOLM_MAX_QUEUED_REPLIES && session.TakeReply(); ++n) {
        }
        SayLine("Sending: " + client::MaskedRequestText(*configure));
        session.SendConfigure(*configure, module.module);
        entry.time = UtcTimeText(std::chrono::system_clock::now());
        bool confirmed = false;
        try {
            AwaitConfirmation(session, module, o.confirm_wait);
            confirmed = true;
            SayLine("Reconfigured: the module confirmed the request.");
            if (!o.no_verify) {
                Verify(session, module, request.changes, o.verify_wait);
                SayLine("Verified: the module reports the new values.");
            }
        } catch (const Failure& failure) {
            logged(failure.Code() == kInvalidPassword ? "invalid-password"
                   : confirmed                        ? "not-verified"
                                                      : "not-confirmed",
                   false);
            throw;
        }
        logged(o.no_verify ? "confirmed" : "verified", true);
        return kSuccess;
    }

  private:
    SetOptions options_;
};

}  // namespace

std::unique_ptr<Verb> MakeSetVerb() {
    return std::make_unique<SetVerb>();
}

}  // namespace tolm::linkora
