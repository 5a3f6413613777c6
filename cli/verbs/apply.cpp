// linkora apply: commissions a line from a plan.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

#include "cli/checks/plan_checks.h"
#include "cli/command_line/failure.h"
#include "cli/command_line/options.h"
#include "cli/delivery/audit_log.h"
#include "cli/delivery/passwords.h"
#include "cli/delivery/sending.h"
#include "cli/output/apply_report.h"
#include "cli/output/check_report.h"
#include "cli/output/console.h"
#include "cli/output/utc_time.h"
#include "cli/plan/password_list.h"
#include "cli/plan/plan_reader.h"
#include "cli/platform/terminal.h"
#include "cli/session/scan.h"
#include "cli/verbs/verbs.h"
#include "password_rule.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;
using FilePointer = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

std::string Now() {
    return UtcTimeText(std::chrono::system_clock::now());
}

// Opened before anything is sent, so that a report that cannot be written
// stops the run first.
FilePointer OpenReport(const std::string& path) {
    if (path.empty()) return FilePointer(nullptr, std::fclose);
    FilePointer file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file)
        throw Failure(kUsage, "cannot write the report " + path + ": " + std::strerror(errno));
    return file;
}

struct PlanPasswords {
    std::optional<std::string> shared;          // for every protected module
    std::map<std::string, std::string> by_mac;  // for those that differ
};

struct ApplyOptions {
    std::string plan;
    bool dry_run = false;
    std::string report;  // empty: none
    LogOptions log;
    bool password_stdin = false;
    std::string password_file;   // one password for every protected module
    std::string passwords_file;  // mac,password lines for those that differ
    Milliseconds find_wait{3000}, confirm_wait{3000}, verify_wait{5000};
};

PlanPasswords ReadPasswords(const ApplyOptions& o) {
    PlanPasswords p;
    p.shared = ReadSharedPassword(o.password_stdin, o.password_file);
    if (p.shared)
        if (std::string why = client::WhyPasswordCannotBeSent(*p.shared, "the password");
            !why.empty())
            throw Failure(kUsage, why + "; nothing was sent");
    if (!o.passwords_file.empty()) p.by_mac = ReadPasswordListFile(o.passwords_file);
    return p;
}

bool HasPasswordInForce(const Answer& answer) {
    return answer.record.bPswdValid != 0 && answer.record.bPswdEnabled != 0;
}

// The password a module's request carries: its own from --passwords, else
// the shared one; none for a module that reports none in force.
std::optional<std::string> PasswordFor(const ModuleRun& run, const PlanPasswords& p) {
    const Answer& answer = *run.before;
    if (answer.record.bPswdValid != 0 && answer.record.bPswdEnabled == 0) return std::nullopt;
    const auto own = p.by_mac.find(client::MacText(run.planned.mac.data()));
    if (own != p.by_mac.end()) return own->second;
    return p.shared;
}

// Asks once on the terminal for the protected modules that have no password
// given; a dry run only shows where one would go.
void AskMissing(const std::vector<ModuleRun>& runs, bool dry_run, PlanPasswords& p) {
    std::vector<std::string> lacking;
    for (const ModuleRun& run : runs)
        if (run.outcome == Outcome::kWouldChange && HasPasswordInForce(*run.before) &&
            !PasswordFor(run, p))
            lacking.push_back(client::MacText(run.planned.mac.data()));
    if (lacking.empty()) return;
    std::string macs;
    for (const std::string& mac : lacking) macs += (macs.empty() ? "" : ", ") + mac;
    if (dry_run) {
        Warn("no password is given for " + macs +
             " (password in force); apply needs --password-stdin, --password-file or "
             "--passwords, or a terminal to ask on");
        return;
    }
    if (!IsTerminal(stdin))
        throw Failure(kUsage, macs + (lacking.size() == 1 ? " has" : " have") +
                                  " a password in force: give it with --password-stdin, "
                                  "--password-file or --passwords, or run linkora on a terminal "
                                  "to be asked; nothing was sent");
    p.shared = ReadHiddenLine("Password of the protected modules (" + macs + "): ");
    if (!p.shared) throw Failure(kUsage, "no password was entered; nothing was sent");
}

// Every request is built before the first goes, so that one that cannot be
// sent stops the run while nothing has been.
void BuildRequests(std::vector<ModuleRun>& runs, const PlanPasswords& p, bool dry_run) {
    for (ModuleRun& run : runs) {
        if (run.outcome != Outcome::kWouldChange) continue;
        client::ConfigureChanges changes = run.to_send;
        std::optional<std::string> password = PasswordFor(run, p);
        // Shown as "****" all the same.
        if (!password && dry_run && HasPasswordInForce(*run.before)) password = "****";
        changes.password = password.value_or("");
        std::string error;
        run.request = client::BuildConfigureRequest(run.before->record, changes, &error);
        if (!run.request)
            throw Failure(kUsage, client::MacText(run.planned.mac.data()) + ": " + error +
                                      "; nothing was sent");
    }
}

std::string Counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Summary(const std::vector<ModuleRun>& runs) {
    std::map<Outcome, std::size_t> counts;
    for (const ModuleRun& run : runs) ++counts[run.outcome];
    std::string text;
    for (const auto& [outcome, count] : counts)
        text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + OutcomeName(outcome);
    return Counted(runs.size(), "planned module", "planned modules") + ": " + text + ".";
}

void WriteAuditLines(const std::vector<ModuleRun>& runs, AuditLog& log, std::string& failure) {
    for (const ModuleRun& run : runs) {
        if (run.sent_at.empty()) continue;
        AuditEntry entry;
        entry.command = "apply";
        entry.time = run.sent_at;
        entry.adapter = run.before->adapter;
        entry.mac = client::MacText(run.planned.mac.data());
        entry.sender = run.before->sender != 0 ? client::IpText(run.before->sender) : "";
        entry.changes = run.changes;
        entry.result = OutcomeName(run.outcome);
        if (!log.Append(entry, &failure)) return;
    }
}

class ApplyVerb : public Verb {
  public:
    const char* Name() const override { return "apply"; }

    void Define(CLI::App& app) override {
        ApplyOptions& a = options_;
        CLI::App* apply = app.add_subcommand(
            Name(),
            "Applies a plan (CSV or JSON, as scan writes them): scans, refuses the whole plan when "
            "check --plan finds an error (exit 10), sends each module that is not as planned only "
            "its planned changes through the adapter it answered on, waits for its own "
            "confirmation, scans again to verify and prints one row per planned module. Exit 11 "
            "when some did not end as planned. Passwords never stand in a plan.");
        apply->fallthrough();
        apply->add_option("PLAN", a.plan, "The plan file")->required();
        apply->add_flag("--dry-run", a.dry_run,
                        "Show what would be sent, passwords as ****, and send nothing");
        apply->add_option("--report", a.report, "Write the whole run as JSON to FILE");
        AddLog(apply, a.log);
        CLI::Option* from_stdin = apply->add_flag(
            "--password-stdin", a.password_stdin,
            "Read the password of the protected modules from standard input's first line");
        apply
            ->add_option("--password-file", a.password_file,
                         "Read the password of the protected modules from FILE's first line")
            ->excludes(from_stdin);
        apply->add_option("--passwords", a.passwords_file,
                          "A CSV of mac,password lines for modules whose password differs");
        AddTimings(apply, a.find_wait, a.confirm_wait, a.verify_wait,
                   "How long the modules are listened for");
    }

    int Run(const GlobalOptions& global) override {
        const ApplyOptions& o = options_;
        ApplyRecord record;
        record.started = Now();
        record.plan = o.plan;
        record.dry_run = o.dry_run;
        const Plan plan = ReadPlanFile(o.plan);
        PlanPasswords passwords = ReadPasswords(o);
        const FilePointer report = OpenReport(o.report);
        AuditLog log(o.dry_run ? LogOptions{"", true} : o.log);
        CatchInterrupt();

        TolmSession session(LibraryPath(global), global.adapter);
        record.adapters = session.Adapters();
        // Listens for the whole window, so that every sender of each MAC is heard.
        ScanLimits find;
        find.quiet = find.min_wait = find.max_wait = o.find_wait;
        ModuleList list;
        Scan(session, find, list);
        record.interrupted = TakeInterrupt();
        record.findings =
            CheckModules({list.Modules(), list.Conflicts(), session.Adapters()}, &plan);
        record.refused = HasErrors(record.findings);
        record.runs = PlanRuns(plan, list);

        std::vector<Finding> told;
        for (const Finding& f : record.findings)
            if (f.severity != Severity::kInfo) told.push_back(f);
        if (!told.empty()) Say(FindingLines(told) + "\n");

        if (!record.refused) {
            AskMissing(record.runs, o.dry_run, passwords);
            BuildRequests(record.runs, passwords, o.dry_run);
            if (!o.dry_run) {
                record.interrupted =
                    Deliver(session, record.runs, o.confirm_wait, record.interrupted);
                VerifyAll(session, record.runs, o.verify_wait);
            }
        } else if (!o.dry_run) {
            for (ModuleRun& run : record.runs)
                if (run.outcome == Outcome::kWouldChange) run.outcome = Outcome::kNotSent;
        }

        Say(ResultTable(record.runs));
        for (const ModuleRun& run : record.runs)
            for (const std::string& line : run.mismatches)
                Say(client::MacText(run.planned.mac.data()) + ": " + line + "\n");
        if (o.dry_run && !record.refused) {
            Say("\nRequests that would be sent:\n");
            for (const ModuleRun& run : record.runs)
                if (run.request)
                    Say(client::MacText(run.planned.mac.data()) + " through " +
                        (run.before->adapter.empty() ? "the default adapter"
                                                     : run.before->adapter) +
                        ": " + client::MaskedRequestText(*run.request) + "\n");
        }
        Say("\n" + Summary(record.runs) + "\n");

        std::string failure;
        WriteAuditLines(record.runs, log, failure);
        if (log.IsOn()) {
            record.log = log.Path();
            Say("Audit log: " + log.Path() + " (" + Counted(log.LinesWritten(), "line", "lines") +
                " added)\n");
        }
        const bool as_planned =
            std::all_of(record.runs.begin(), record.runs.end(),
                        [](const ModuleRun& run) { return EndsAsPlanned(run.outcome); });
        record.exit_code = record.refused            ? kFindings
                           : o.dry_run || as_planned ? kSuccess
                                                     : kNotAsPlanned;
        if (!failure.empty() && record.exit_code == kSuccess) record.exit_code = kFailed;
        if (record.refused) {
            const auto errors =
                std::count_if(record.findings.begin(), record.findings.end(),
                              [](const Finding& f) { return f.severity == Severity::kError; });
            Say("Refused: the plan has " +
                Counted(static_cast<std::size_t>(errors), "error", "errors") +
                "; nothing was sent.\n");
        } else if (o.dry_run) {
            Say("Dry run: nothing was sent.\n");
        }
        record.ended = Now();
        if (report) {
            const std::string text = ApplyReportText(record);
            if (std::fwrite(text.data(), 1, text.size(), report.get()) == text.size() &&
                std::fflush(report.get()) == 0)
                Say("Report: " + o.report + "\n");
            else if (failure.empty())
                failure = "cannot write the report " + o.report + ": " + std::strerror(errno);
        }
        if (failure.empty()) return record.exit_code;
        Warn(failure);
        return record.exit_code == kSuccess ? kFailed : record.exit_code;
    }

  private:
    ApplyOptions options_;
};

}  // namespace

std::unique_ptr<Verb> MakeApplyVerb() {
    return std::make_unique<ApplyVerb>();
}

}  // namespace tolm::linkora
