// One way to deliver planned changes to modules: apply runs a plan through
// it, set a plan of one module. So the find, the checks, the passwords, the
// Ctrl-C handling, whose a confirmation is, the verification, the audit log
// and the report are the same for both.
//
//  1. Before anything else the audit log is opened and the report's file
//     made ready beside the report: a record that cannot be kept stops the
//     run here, and a report that would overwrite an input is refused.
//  2. Find: the scan goes out in rounds and listens for the whole find
//     window, so that every sender that answers as a planned MAC is heard.
//  3. Judge: the plan's findings; an error refuses the plan (apply: any
//     error; set: one about its module) and nothing is sent.
//  4. Each planned module's run: what it needs, its password (asked on the
//     terminal where none is given), its request, built before the first
//     goes.
//  5. Send: several requests in flight where their replies can be told
//     apart; only the module's own reply counts. The first Ctrl-C stops
//     further requests, the second stops waiting.
//  6. Verify: scans until each confirmed module reports what it was sent.
//  7. Record: an audit line as each request goes ("sent", with the values
//     before) and one with its outcome; the report, renamed into place
//     whole, so that a run cut short leaves the old report or a new one,
//     never an empty one.
#pragma once

#include <cstdio>
#include <string>

#include "cli/delivery/audit_log.h"
#include "cli/delivery/passwords.h"
#include "cli/delivery/record.h"
#include "cli/plan/plan.h"
#include "cli/session/scan_timing.h"
#include "cli/session/tolm_session.h"

namespace tolm::linkora {

struct DeliveryOptions {
    std::string command = "apply";  // the audit log's and the report's word
    std::string plan_file;          // as named; empty for set
    bool dry_run = false;
    bool verify = true;  // false: a confirmed module is not scanned again
    // apply refuses the plan for any error among the findings; set only for
    // one about its module.
    bool refuse_for_any_error = true;
    // false: the record keeps only the findings that name a planned module
    // (assign leaves the modules present alone).
    bool every_finding = true;
    Milliseconds find_wait{3000}, confirm_wait{3000}, verify_wait{5000};
    // The least each verification scan listens: long enough for a second
    // sender of the MAC to be heard, short enough that a line is soon done.
    Milliseconds verify_scan{1000};
    LogOptions log;
    std::string report;  // empty: none; .csv, .html or .htm: that, else JSON
    // The files the run reads (plan, passwords): the report must not be one.
    std::vector<std::string> inputs;
};

class Delivery {
  public:
    explicit Delivery(DeliveryOptions options);
    ~Delivery();
    Delivery(const Delivery&) = delete;
    Delivery& operator=(const Delivery&) = delete;

    // Steps 2 to 7 over the session. A usage failure (a password that cannot
    // be had, a request that cannot be built) is thrown before anything is
    // sent. Each further Run (assign delivers one module at a time) adds its
    // runs, and the findings about its plan, to the one record.
    // found: a scan the caller has just listened to (assign's, which heard the
    // module appear), instead of the find.
    DeliveryRecord& Run(TolmSession& session, const Plan& plan, PasswordSources passwords,
                        DeliveryEvents& events, const ModuleList* found = nullptr);

    // Why an audit line could not be written; empty when all were.
    const std::string& AuditFailure() const { return audit_failure_; }
    std::size_t AuditLinesWritten() const { return log_.LinesWritten(); }
    bool Logs() const { return log_.IsOn(); }

    // Writes the report with the run's exit code: empty, or why it could not
    // be, with what was sent.
    std::string Finish(int exit_code);

  private:
    class Recorder;

    void Log(const ModuleRun& run, const char* result);
    // "; 2 requests were sent: ..." for a message about a record not kept.
    std::string SentSoFar() const;

    DeliveryOptions options_;
    AuditLog log_;
    std::string report_part_;  // written here, then renamed to the report
    std::FILE* report_ = nullptr;
    DeliveryRecord record_;
    std::vector<ModuleRun> earlier_;  // the runs of earlier Runs while one goes
    std::string audit_failure_;
};

// Whether the findings refuse a delivery of these options.
bool Refuses(const std::vector<Finding>& findings, const Plan& plan, bool any_error);

}  // namespace tolm::linkora
