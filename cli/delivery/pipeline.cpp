#include "cli/delivery/pipeline.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include "cli/command_line/failure.h"
#include "cli/delivery/sending.h"
#include "cli/output/delivery_report.h"
#include "cli/output/utc_time.h"
#include "cli/platform/terminal.h"
#include "cli/session/scan.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

std::string Now() {
    return UtcTimeText(std::chrono::system_clock::now());
}

bool HasPasswordInForce(const Answer& answer) {
    return answer.record.bPswdValid != 0 && answer.record.bPswdEnabled != 0;
}

// Every request is built before the first goes, so that one that cannot be
// sent stops the run while nothing has been.
void BuildRequests(std::vector<ModuleRun>& runs, const PasswordSources& sources, bool dry_run) {
    for (ModuleRun& run : runs) {
        if (run.outcome != Outcome::kWouldChange) continue;
        if (sources.new_password) run.to_send.new_password = sources.next.value_or("****");
        client::ConfigureChanges changes = run.to_send;
        std::optional<std::string> password = PasswordFor(run, sources);
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

}  // namespace

bool Refuses(const std::vector<Finding>& findings, const Plan& plan, bool any_error) {
    return std::any_of(findings.begin(), findings.end(), [&](const Finding& f) {
        if (f.severity != Severity::kError) return false;
        if (any_error) return true;
        return std::any_of(plan.modules.begin(), plan.modules.end(), [&](const PlannedModule& p) {
            const std::string mac = client::MacText(p.mac.data());
            return std::find(f.macs.begin(), f.macs.end(), mac) != f.macs.end();
        });
    });
}

Delivery::Delivery(DeliveryOptions options)
    : options_(std::move(options)), log_(options_.dry_run ? LogOptions{"", true} : options_.log) {
    if (options_.report.empty()) return;
    report_ = std::fopen(options_.report.c_str(), "wb");
    if (report_ == nullptr)
        throw Failure(kUsage,
                      "cannot write the report " + options_.report + ": " + std::strerror(errno));
}

Delivery::~Delivery() {
    if (report_ != nullptr) std::fclose(report_);
}

DeliveryRecord& Delivery::Run(TolmSession& session, const Plan& plan, PasswordSources passwords,
                              DeliveryEvents& events) {
    CatchInterrupt();
    DeliveryRecord& record = record_;
    record.command = options_.command;
    record.plan = options_.plan_file;
    record.dry_run = options_.dry_run;
    record.started = Now();
    record.adapters = session.Adapters();

    ScanLimits find;
    find.min_wait = find.max_wait = options_.find_wait;
    ModuleList list;
    Scan(session, find, list);
    record.interrupted = Interrupted();
    record.findings = CheckModules(
        {list.Modules(), list.Conflicts(), session.Adapters(), session.OwnAddresses()}, &plan);
    record.refused = Refuses(record.findings, plan, options_.refuse_for_any_error);
    record.runs = PlanRuns(plan, list, passwords.new_password);
    events.Found(record);

    if (!record.refused) {
        AskMissingPasswords(record.runs, options_.dry_run, passwords);
        BuildRequests(record.runs, passwords, options_.dry_run);
        if (!options_.dry_run) {
            record.interrupted = Deliver(session, record.runs, options_.confirm_wait, events);
            if (options_.verify) VerifyAll(session, record.runs, options_.verify_wait);
        }
    } else if (!options_.dry_run) {
        for (ModuleRun& run : record.runs)
            if (run.outcome == Outcome::kWouldChange) run.outcome = Outcome::kNotSent;
    }

    for (const ModuleRun& run : record.runs) {
        if (run.sent_at.empty()) continue;
        AuditEntry entry;
        entry.command = options_.command;
        entry.time = run.sent_at;
        entry.adapter = run.before->adapter;
        entry.mac = client::MacText(run.planned.mac.data());
        entry.sender = run.before->sender != 0 ? client::IpText(run.before->sender) : "";
        entry.changes = run.changes;
        entry.password_changed =
            run.to_send.new_password.has_value() &&
            (run.outcome == Outcome::kVerified || run.outcome == Outcome::kConfirmed);
        entry.result = OutcomeName(run.outcome);
        if (!log_.Append(entry, &audit_failure_)) break;
    }
    if (log_.IsOn()) record.log = log_.Path();
    return record;
}

std::string Delivery::Finish(int exit_code) {
    record_.exit_code = exit_code;
    record_.ended = Now();
    if (report_ == nullptr) return {};
    const std::string text = DeliveryReportText(record_);
    if (std::fwrite(text.data(), 1, text.size(), report_) == text.size() &&
        std::fflush(report_) == 0)
        return {};
    return "cannot write the report " + options_.report + ": " + std::strerror(errno);
}

}  // namespace tolm::linkora
