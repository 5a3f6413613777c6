// `linkora apply --report FILE`: the whole run as one JSON document, with
// no password in it.
#pragma once

#include <string>
#include <vector>

#include "cli/checks/plan_checks.h"
#include "cli/delivery/module_runs.h"
#include "tolm_ext.h"

namespace tolm::linkora {

struct ApplyRecord {
    std::string plan;  // the plan file as named
    bool dry_run = false;
    std::string started, ended;  // UTC
    std::vector<TOLM_AdapterType> adapters;
    std::vector<Finding> findings;
    bool refused = false;      // an error among the findings: nothing sent
    bool interrupted = false;  // Ctrl-C: sending stopped
    std::vector<ModuleRun> runs;
    std::string log;  // the audit log's path; empty without one
    int exit_code = 0;
};

std::string ApplyReportText(const ApplyRecord& record);

}  // namespace tolm::linkora
