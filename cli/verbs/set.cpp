// linkora set: one module's IP settings, host name or password, delivered as
// a plan of one module through the same pipeline as apply.
#include "cli/command_line/failure.h"
#include "cli/command_line/options.h"
#include "cli/delivery/pipeline.h"
#include "cli/output/console.h"
#include "cli/output/scan_report.h"
#include "cli/verbs/set_request.h"
#include "cli/verbs/verbs.h"
#include "client/request_rule.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

// What set says while its one module is found, sent to and confirms.
class SetEvents : public DeliveryEvents {
  public:
    void Found(const DeliveryRecord& record) override {
        const ModuleRun& run = record.runs.front();
        const std::string mac = client::MacText(run.planned.mac.data());
        for (const Finding& f : record.findings)
            if (f.severity == Severity::kWarning && f.kind != "missing" && f.macs.front() == mac)
                Warn("warning: " + f.message);
        if (!run.before || run.outcome == Outcome::kConflictingAnswers) return;
        const TOLM_ModuleScanResponseType& r = run.before->record;
        SayLine("Found " + client::MacText(r.abMacId) + " at " +
                client::ListRowTexts(r)[client::kColumnIp] + " (host name " +
                client::HostNameText(r) + ")" +
                (run.before->adapter.empty() ? "" : " through " + run.before->adapter) + ".");
    }

    void Sending(const ModuleRun& run) override {
        SayLine("Sending: " + client::MaskedRequestText(*run.request));
    }

    void Replied(const ModuleRun& run) override {
        if (run.outcome == Outcome::kConfirmed)
            SayLine("Reconfigured: the module confirmed the request.");
    }
};

// The options that name each field of the rule.
const char* OptionOf(client::RuleField field) {
    switch (field) {
        case client::RuleField::kIpAddress:
            return "--ip";
        case client::RuleField::kSubnetMask:
            return "--mask";
        case client::RuleField::kGateway:
            return "--gateway";
        case client::RuleField::kDns1:
            return "--dns1";
        case client::RuleField::kDns2:
            return "--dns2";
        case client::RuleField::kHostName:
            return "--hostname";
        default:
            return "linkora set";
    }
}

// What the rule refuses whatever the module reports, before it is looked for.
void RefuseWhatNoModuleMayBeGiven(const SetRequest& request,
                                  const std::vector<std::uint32_t>& own_addresses) {
    for (const client::RuleFinding& f :
         client::CheckChanges(request.changes, nullptr, own_addresses))
        if (f.severity == client::RuleSeverity::kError && f.field != client::RuleField::kHostName)
            throw Failure(kUsage,
                          std::string(OptionOf(f.field)) + ": " + f.why + "; nothing was sent");
}

// The exit code of set's one module, and what is wrong when it is not 0.
std::pair<ExitCode, std::string> Ending(const DeliveryRecord& record, const SetOptions& o) {
    const ModuleRun& run = record.runs.front();
    const std::string mac = client::MacText(run.planned.mac.data());
    if (record.refused) {
        for (const Finding& f : record.findings)
            if (f.kind == "conflicting-answers" && f.macs.front() == mac)
                return {kConflict, f.message + "; nothing was sent"};
        for (const Finding& f : record.findings)
            if (f.severity == Severity::kError &&
                std::find(f.macs.begin(), f.macs.end(), mac) != f.macs.end())
                return {kUsage, f.message + "; nothing was sent"};
    }
    std::string mismatches;
    for (const std::string& line : run.mismatches) mismatches += "\n  " + line;
    switch (run.outcome) {
        case Outcome::kUnchanged:
        case Outcome::kConfirmed:
        case Outcome::kVerified:
        case Outcome::kWouldChange:
            return {kSuccess, ""};
        case Outcome::kMissing:
            return {kNotFound, "the module " + mac + " did not answer"};
        case Outcome::kConflictingAnswers:
            return {kConflict, "two or more senders answer as " + mac + "; nothing was sent"};
        case Outcome::kNotSent:
            if (!run.why_not_sent.empty()) return {kCannotSend, run.why_not_sent};
            return {kFailed, "interrupted before the request went: nothing was sent"};
        case Outcome::kInvalidPassword:
            return {kInvalidPassword,
                    "the module " + mac + " refused the password; nothing was changed"};
        case Outcome::kNotConfirmed:
            return {kNoConfirmation, "no confirmation from the module within " +
                                         std::to_string(o.confirm_wait.count()) +
                                         " ms; it may or may not have applied the request"};
        case Outcome::kNotVerified:
            return {kNotVerified, "the module does not report what was set:" + mismatches};
    }
    return {kFailed, "the run ended in no known way"};
}

class SetVerb : public Verb {
  public:
    const char* Name() const override { return "set"; }

    void Define(CLI::App& app) override {
        SetOptions& s = options_;
        CLI::App* set = app.add_subcommand(
            Name(),
            "Sets a module's IP settings as a plan of one module, through the same steps as "
            "apply: listens for the whole --find-ms window for every answer as the MAC, refuses "
            "what no module may be given, sends only what differs from what the module reports "
            "(and the host name, which every request carries) through the adapter it answered "
            "on, waits for the module's own confirmation, scans again to verify and writes the "
            "audit log. Passwords are asked for on the terminal without echo, or read from "
            "--password-stdin or files.");
        set->fallthrough();
        set->add_option("MAC", s.mac, "The module's MAC address, e.g. 02-00-00-00-00-01")
            ->required();
        set->add_option("--ip", s.ip, "New IP address");
        set->add_option("--mask", s.mask, "New subnet mask");
        set->add_option("--gateway", s.gateway, "New default gateway");
        AddOnOff(set, "--dhcp", s.dhcp, "DHCP on or off (any letter case: On, OFF)");
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
        CLI::Option* new_file = set->add_option(
            "--new-password-file", s.passwords.new_password_file,
            "Read the new password from FILE's first line (implies --new-password)");
        set->add_flag("--remove-password", s.passwords.remove_password,
                      "Remove the module's password: an empty new password is sent (on a "
                      "terminal, asked first); an empty new password is refused without it")
            ->excludes(new_file)
            ->excludes("--new-password");
        set->add_flag("--no-verify", s.no_verify, "Do not scan again to check the new values");
        set->add_option("--report", s.report,
                        "Write the whole run to FILE: JSON, or CSV or HTML by its extension");
        AddTimings(set, s.find_wait, s.confirm_wait, s.verify_wait,
                   "How long the module is looked for");
        AddLog(set, s.log);
    }

    int Run(const GlobalOptions& global) override {
        SetOptions& o = options_;
        if (!o.passwords.new_password_file.empty()) o.passwords.new_password = true;
        const SetRequest request = CheckSetOptions(o);
        PasswordSources passwords = ReadSetPasswords(o.passwords);
        CheckPasswords(request, passwords.shared, passwords.next);

        DeliveryOptions options;
        options.command = Name();
        options.verify = !o.no_verify;
        options.refuse_for_any_error = false;
        options.find_wait = o.find_wait;
        options.confirm_wait = o.confirm_wait;
        options.verify_wait = o.verify_wait;
        options.log = o.log;
        options.report = o.report;
        options.inputs = {o.passwords.file, o.passwords.new_password_file};
        Delivery delivery(options);

        TolmSession session(LibraryPath(global), global.adapter);
        RefuseWhatNoModuleMayBeGiven(request, session.OwnAddresses());
        SetEvents events;
        const DeliveryRecord& record =
            delivery.Run(session, PlanOf(request), std::move(passwords), events);
        const auto [code, failure] = Ending(record, o);
        const ModuleRun& run = record.runs.front();
        if (run.outcome == Outcome::kVerified)
            SayLine("Verified: the module reports the new values.");
        if (run.outcome == Outcome::kUnchanged)
            SayLine("Nothing to change: " + client::MacText(run.planned.mac.data()) +
                    " reports these values already; nothing was sent.");
        if (delivery.AuditLinesWritten() > 0) SayLine("Audit log: " + record.log);
        int exit_code = code;
        std::string unwritten = delivery.AuditFailure();
        if (!unwritten.empty() && exit_code == kSuccess) exit_code = kFailed;
        const std::string report_failure = delivery.Finish(exit_code);
        if (unwritten.empty()) unwritten = report_failure;
        if (!unwritten.empty()) {
            Warn(unwritten);
            if (exit_code == kSuccess) exit_code = kFailed;
        }
        if (!failure.empty()) throw Failure(static_cast<ExitCode>(exit_code), failure);
        return exit_code;
    }

  private:
    SetOptions options_;
};

}  // namespace

std::unique_ptr<Verb> MakeSetVerb() {
    return std::make_unique<SetVerb>();
}

}  // namespace tolm::linkora
