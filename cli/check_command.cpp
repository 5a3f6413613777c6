#include <cstdio>
#include <optional>

#include "check_report.h"
#include "collect.h"
#include "commands.h"
#include "failure.h"
#include "plan_reader.h"
#include "printable.h"

namespace tolm::linkora {

int RunCheck(const CommandLine& c) {
    std::optional<Plan> plan;
    if (!c.check.plan.empty()) plan = ReadPlanFile(c.check.plan);
    TolmSession session(c.library.empty() ? DefaultLibraryPath() : c.library, c.adapter);
    ModuleList list;
    const double seconds = Scan(session, c.limits, list);
    const ScanView view{list.Modules(), list.Conflicts(), session.Adapters()};

    CheckReport report;
    report.findings = CheckModules(view, plan ? &*plan : nullptr);
    if (plan) report.plan = plan->file;
    report.answered = view.modules.size();
    report.planned = plan ? plan->modules.size() : 0;
    report.adapters = session.AdapterNames();
    report.seconds = seconds;
    const std::string text =
        c.format == Format::kJson ? CheckJsonText(report) : CheckTableText(report);
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    // Conflicts are findings already: standard error tells only of answers dropped.
    const ScanReport scanned =
        MakeScanReport(list, session.AdapterNames(), seconds, session.DroppedAnswers());
    for (const std::string& line : ScanWarnings(scanned, Format::kJson))
        std::fprintf(stderr, "linkora: %s\n", Printable(line).c_str());
    return report.findings.empty() ? kSuccess : kFindings;
}

}  // namespace tolm::linkora
