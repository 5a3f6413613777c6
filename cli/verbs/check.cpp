// linkora check: what is wrong on the network, and against a plan.
#include <optional>

#include "cli/checks/plan_checks.h"
#include "cli/command_line/failure.h"
#include "cli/command_line/options.h"
#include "cli/output/check_report.h"
#include "cli/output/console.h"
#include "cli/output/scan_report.h"
#include "cli/plan/plan_reader.h"
#include "cli/session/scan.h"
#include "cli/verbs/verbs.h"

namespace tolm::linkora {
namespace {

class CheckVerb : public Verb {
  public:
    const char* Name() const override { return "check"; }

    void Define(CLI::App& app) override {
        CLI::App* check = app.add_subcommand(
            Name(),
            "Scans and reports what is wrong, one finding per line: conflicting answers, "
            "duplicate addresses, masks whose bits are not contiguous, 0.0.0.0 with DHCP off, "
            "network or broadcast addresses (errors); duplicate host names, gateways outside the "
            "subnet, modules this PC cannot reach (warnings). With --plan also what is missing, "
            "unexpected or differs, and what is wrong with the plan. Exit 10 when anything is "
            "found, 5 when no module answered at all.");
        check->fallthrough();
        check->add_option("--plan", plan_file_,
                          "Check against this plan (CSV or JSON, as scan or a spreadsheet saves "
                          "them; an unknown column is refused)");
        AddScanLimits(check, limits_);
        AddFormat(check, format_, {"table", "json"}, "table or json");
    }

    int Run(const GlobalOptions& global) override {
        std::optional<Plan> plan;
        if (!plan_file_.empty()) plan = ReadPlanFile(plan_file_);
        TolmSession session(LibraryPath(global), global.adapter);
        ModuleList list;
        const double seconds = Scan(session, limits_, list);
        const ScanView view{list.Modules(), list.Conflicts(), session.Adapters(),
                            session.OwnAddresses()};

        CheckReport report;
        report.findings = CheckModules(view, plan ? &*plan : nullptr);
        if (plan) report.plan = plan->file;
        report.answered = view.modules.size();
        report.planned = plan ? plan->modules.size() : 0;
        report.adapters = session.AdapterNames();
        report.seconds = seconds;
        Print(format_ == "json" ? CheckJsonText(report) : CheckTableText(report));
        // Conflicts are findings already: standard error tells only of answers dropped.
        const ScanReport scanned =
            MakeScanReport(list, session.AdapterNames(), seconds, session.DroppedAnswers());
        for (const std::string& line : ScanWarnings(scanned, Format::kJson)) Warn(line);
        // A firewall that blocks the answers must not pass for a sound network.
        if (view.modules.empty() && list.WithoutMacCount() == 0) return kNotFound;
        return report.findings.empty() ? kSuccess : kFindings;
    }

  private:
    std::string plan_file_;  // empty: the network alone
    ScanLimits limits_;
    std::string format_;
};

}  // namespace

std::unique_ptr<Verb> MakeCheckVerb() {
    return std::make_unique<CheckVerb>();
}

}  // namespace tolm::linkora
