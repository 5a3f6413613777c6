#include "cli/delivery/pipeline.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "cli/command_line/failure.h"
#include "cli/delivery/sending.h"
#include "cli/output/delivery_report.h"
#include "cli/output/utc_time.h"
#include "cli/platform/local_user.h"
#include "cli/platform/terminal.h"
#include "cli/session/scan.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

std::string Now() {
    return UtcTimeText(std::chrono::system_clock::now());
}

// Whether two names are one file, as far as can be told before it exists.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error)) return true;
    const std::filesystem::path first = std::filesystem::weakly_canonical(a, error);
    if (error) return false;
    const std::filesystem::path second = std::filesystem::weakly_canonical(b, error);
    return !error && first == second;
}

// Whether the finding names a module of the plan.
bool AboutPlan(const Finding& finding, const Plan& plan) {
    return std::any_of(plan.modules.begin(), plan.modules.end(), [&](const PlannedModule& p) {
        const std::string mac = client::MacText(p.mac.data());
        return std::find(finding.macs.begin(), finding.macs.end(), mac) != finding.macs.end();
    });
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
        return f.severity == Severity::kError && (any_error || AboutPlan(f, plan));
    });
}

// The verb's events, and an audit line as each request goes.
class Delivery::Recorder : public DeliveryEvents {
  public:
    Recorder(Delivery& delivery, DeliveryEvents& shown) : delivery_(delivery), shown_(shown) {}
    void Found(const DeliveryRecord& record) override { shown_.Found(record); }
    void Sending(const ModuleRun& run) override { shown_.Sending(run); }
    void Sent(const ModuleRun& run) override {
        delivery_.Log(run, "sent");
        shown_.Sent(run);
    }
    void Replied(const ModuleRun& run) override { shown_.Replied(run); }

  private:
    Delivery& delivery_;
    DeliveryEvents& shown_;
};

Delivery::Delivery(DeliveryOptions options)
    : options_(std::move(options)), log_(options_.dry_run ? LogOptions{"", true} : options_.log) {
    if (options_.report.empty()) return;
    std::vector<std::string> kept = options_.inputs;
    if (log_.IsOn()) kept.push_back(log_.Path());
    for (const std::string& file : kept)
        if (!file.empty() && SameFile(file, options_.report))
            throw Failure(kUsage, "the report " + options_.report + " would overwrite " + file +
                                      ", which the run " +
                                      (file == log_.Path() ? "logs to" : "reads") +
                                      ": name another; nothing was sent");
    const std::filesystem::path report(options_.report);
    report_part_ =
        (report.parent_path() / ("." + report.filename().string() + ".partial")).string();
    report_ = std::fopen(report_part_.c_str(), "wb");
    if (report_ == nullptr)
        throw Failure(kFailed, "cannot write the report " + options_.report + " (" + report_part_ +
                                   "): " + std::strerror(errno) + "; nothing was sent");
}

Delivery::~Delivery() {
    if (report_ == nullptr) return;
    std::fclose(report_);
    std::remove(report_part_.c_str());
}

void Delivery::Log(const ModuleRun& run, const char* result) {
    if (!audit_failure_.empty()) return;
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
    entry.result = result;
    if (!log_.Append(entry, &audit_failure_)) audit_failure_ += SentSoFar();
}

std::string Delivery::SentSoFar() const {
    std::string macs;
    std::size_t sent = 0;
    for (const std::vector<ModuleRun>* runs : {&earlier_, &record_.runs})
        for (const ModuleRun& run : *runs)
            if (!run.sent_at.empty()) {
                ++sent;
                macs += (macs.empty() ? "" : ", ") + client::MacText(run.planned.mac.data());
            }
    if (sent == 0) return "; nothing was sent";
    return "; " + std::to_string(sent) + (sent == 1 ? " request was" : " requests were") +
           " sent: " + macs;
}

DeliveryRecord& Delivery::Run(TolmSession& session, const Plan& plan, PasswordSources passwords,
                              DeliveryEvents& shown, const ModuleList* found) {
    CatchInterrupt();
    Recorder events(*this, shown);
    DeliveryRecord& record = record_;
    const bool first = record.started.empty();
    if (first) {
        record.command = options_.command;
        record.plan = options_.plan_file;
        record.dry_run = options_.dry_run;
        record.started = Now();
        record.adapters = session.Adapters();
        record.computer = ComputerName();
        record.user = UserName();
    }

    ModuleList scanned;
    if (found == nullptr) {
        ScanLimits find;
        find.min_wait = find.max_wait = options_.find_wait;
        Scan(session, find, scanned);
    }
    const ModuleList& list = found != nullptr ? *found : scanned;
    record.interrupted = Interrupted();
    std::vector<Finding> findings = CheckModules(
        {list.Modules(), list.Conflicts(), session.Adapters(), session.OwnAddresses()}, &plan);
    record.refused = Refuses(findings, plan, options_.refuse_for_any_error);
    for (Finding& f : findings)
        if ((first && options_.every_finding) || AboutPlan(f, plan))
            record.findings.push_back(std::move(f));
    // This plan's runs are the record's while they go, so that what was sent is told from them;
    // the earlier ones wait aside.
    earlier_ = std::move(record.runs);
    record.runs = PlanRuns(plan, list, passwords.new_password);
    events.Found(record);

    if (!record.refused) {
        AskMissingPasswords(record.runs, options_.dry_run, passwords);
        BuildRequests(record.runs, passwords, options_.dry_run);
        if (!options_.dry_run) {
            record.interrupted = Deliver(session, record.runs, options_.confirm_wait, events);
            if (options_.verify)
                VerifyAll(session, record.runs, options_.verify_wait, options_.verify_scan);
        }
    } else if (!options_.dry_run) {
        for (ModuleRun& run : record.runs)
            if (run.outcome == Outcome::kWouldChange) run.outcome = Outcome::kNotSent;
    }

    for (const ModuleRun& run : record.runs)
        if (!run.sent_at.empty()) Log(run, OutcomeName(run.outcome));
    record.runs.insert(record.runs.begin(), std::make_move_iterator(earlier_.begin()),
                       std::make_move_iterator(earlier_.end()));
    earlier_.clear();
    if (log_.IsOn()) record.log = log_.Path();
    return record;
}

std::string Delivery::Finish(int exit_code) {
    record_.exit_code = exit_code;
    record_.ended = Now();
    if (record_.started.empty()) {  // nothing was delivered (assign: no module came)
        record_.command = options_.command;
        record_.plan = options_.plan_file;
        record_.started = record_.ended;
        record_.computer = ComputerName();
        record_.user = UserName();
    }
    if (report_ == nullptr) return {};
    const std::string text = DeliveryReportText(record_, ReportFormatOf(options_.report));
    const bool written = std::fwrite(text.data(), 1, text.size(), report_) == text.size() &&
                         std::fflush(report_) == 0;
    const std::string why = std::strerror(errno);
    std::fclose(report_);
    report_ = nullptr;
    std::error_code error;
    if (written) std::filesystem::rename(report_part_, options_.report, error);
    if (written && !error) return {};
    std::remove(report_part_.c_str());
    return "cannot write the report " + options_.report + ": " + (written ? error.message() : why) +
           SentSoFar();
}

}  // namespace tolm::linkora
