// What one delivery did, for the report, the verb's output and its exit
// code: the plan's findings and one run per planned module.
#pragma once

#include <string>
#include <vector>

#include "cli/checks/plan_checks.h"
#include "cli/delivery/module_runs.h"
#include "tolm_ext.h"

namespace tolm::linkora {

struct DeliveryRecord {
    std::string command;  // "set", "apply" or "assign"
    std::string plan;     // the plan file as named; empty for set
    bool dry_run = false;
    std::string started, ended;  // UTC
    std::vector<TOLM_AdapterType> adapters;
    std::string computer, user;  // who ran it where; empty when it cannot be told
    std::vector<Finding> findings;
    bool refused = false;      // an error among the findings: nothing sent
    bool interrupted = false;  // Ctrl-C: sending stopped
    std::vector<ModuleRun> runs;
    std::string log;  // the audit log's path; empty without one
    int exit_code = 0;
};

// What a verb shows while its delivery goes on; each does nothing unless the
// verb says otherwise.
class DeliveryEvents {
  public:
    virtual ~DeliveryEvents() = default;
    // The find is over and the plan judged: before anything is asked or sent.
    virtual void Found(const DeliveryRecord&) {}
    // The run's request goes now.
    virtual void Sending(const ModuleRun&) {}
    // It went: sent_at is set.
    virtual void Sent(const ModuleRun&) {}
    // The module's own reply came, or none in time: confirmed,
    // invalid-password or not-confirmed.
    virtual void Replied(const ModuleRun&) {}
};

}  // namespace tolm::linkora
