// linkora apply: commissions a line from a plan.
#include <algorithm>
#include <map>
#include <memory>

#include "cli/checks/plan_checks.h"
#include "cli/command_line/failure.h"
#include "cli/command_line/options.h"
#include "cli/delivery/pipeline.h"
#include "cli/output/check_report.h"
#include "cli/output/console.h"
#include "cli/plan/password_list.h"
#include "cli/plan/plan_reader.h"
#include "cli/verbs/verbs.h"
#include "password_rule.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

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

PasswordSources ReadPasswords(const ApplyOptions& o) {
    PasswordSources p;
    p.how_to_give = "--password-stdin, --password-file or --passwords";
    p.shared = ReadSharedPassword(o.password_stdin, o.password_file);
    if (p.shared)
        if (std::string why = client::WhyPasswordCannotBeSent(*p.shared, "the password");
            !why.empty())
            throw Failure(kUsage, why + "; nothing was sent");
    if (!o.passwords_file.empty()) {
        WarnIfReadableByOthers(o.passwords_file, "passwords");
        p.by_mac = ReadPasswordListFile(o.passwords_file);
    }
    return p;
}

// The findings worth a line before the table: differences show in the table.
class ApplyEvents : public DeliveryEvents {
  public:
    void Found(const DeliveryRecord& record) override {
        std::vector<Finding> told;
        for (const Finding& f : record.findings)
            if (f.severity != Severity::kInfo) told.push_back(f);
        if (!told.empty()) Say(FindingLines(told) + "\n");
    }
};

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

class ApplyVerb : public Verb {
  public:
    const char* Name() const override { return "apply"; }

    void Define(CLI::App& app) override {
        ApplyOptions& a = options_;
        CLI::App* apply = app.add_subcommand(
            Name(),
            "Applies a plan (CSV or JSON, as scan or a spreadsheet saves them): scans, refuses the "
            "whole plan when "
            "check --plan finds an error (exit 10), sends each module that is not as planned only "
            "its planned changes through the adapter it answered on (a module that takes another's "
            "address once that one has moved), waits for its own confirmation, scans again to "
            "verify and prints one row per planned module. Exit 11 when some did not end as "
            "planned. Passwords never stand in a plan.");
        apply->fallthrough();
        apply->add_option("PLAN", a.plan, "The plan file")->required();
        apply->add_flag("--dry-run", a.dry_run,
                        "Show what would be sent, passwords as ****, and send nothing");
        apply->add_option("--report", a.report,
                          "Write the whole run to FILE: JSON, or CSV or HTML by its extension");
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
        const Plan plan = ReadPlanFile(o.plan);
        PasswordSources passwords = ReadPasswords(o);
        DeliveryOptions options;
        options.command = Name();
        options.plan_file = o.plan;
        options.dry_run = o.dry_run;
        options.find_wait = o.find_wait;
        options.confirm_wait = o.confirm_wait;
        options.verify_wait = o.verify_wait;
        options.log = o.log;
        options.report = o.report;
        options.inputs = {o.plan, o.password_file, o.passwords_file};
        Delivery delivery(options);

        TolmSession session(LibraryPath(global), global.adapter);
        ApplyEvents events;
        const DeliveryRecord& record = delivery.Run(session, plan, std::move(passwords), events);

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
        if (delivery.Logs())
            Say("Audit log: " + record.log + " (" +
                Counted(delivery.AuditLinesWritten(), "line", "lines") + " added)\n");
        const bool as_planned =
            std::all_of(record.runs.begin(), record.runs.end(),
                        [](const ModuleRun& run) { return EndsAsPlanned(run.outcome); });
        // A dry run tells a script what the run would meet: a refusal, or modules that did not
        // answer.
        const bool missing =
            std::any_of(record.runs.begin(), record.runs.end(),
                        [](const ModuleRun& run) { return run.outcome == Outcome::kMissing; });
        int exit_code = record.refused             ? kFindings
                        : o.dry_run && !missing    ? kSuccess
                        : o.dry_run || !as_planned ? kNotAsPlanned
                                                   : kSuccess;
        std::string failure = delivery.AuditFailure();
        if (!failure.empty() && exit_code == kSuccess) exit_code = kFailed;
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
        const std::string unwritten = delivery.Finish(exit_code);
        if (unwritten.empty() && !o.report.empty()) Say("Report: " + o.report + "\n");
        if (failure.empty()) failure = unwritten;
        if (failure.empty()) return exit_code;
        Warn(failure);
        return exit_code == kSuccess ? kFailed : exit_code;
    }

  private:
    ApplyOptions options_;
};

}  // namespace

std::unique_ptr<Verb> MakeApplyVerb() {
    return std::make_unique<ApplyVerb>();
}

}  // namespace tolm::linkora
