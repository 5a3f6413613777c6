// linkora scan: every module that answers, as a table, JSON or CSV.
#include "cli/session/scan.h"

#include "cli/command_line/failure.h"
#include "cli/command_line/options.h"
#include "cli/output/console.h"
#include "cli/output/scan_report.h"
#include "cli/platform/terminal.h"
#include "cli/verbs/verbs.h"

namespace tolm::linkora {
namespace {

class ScanVerb : public Verb {
  public:
    const char* Name() const override { return "scan"; }

    void Define(CLI::App& app) override {
        CLI::App* scan = app.add_subcommand(Name(), "Lists every module that answers a scan.");
        scan->fallthrough();
        AddScanLimits(scan, limits_);
        AddFormat(scan, format_, {"table", "json", "csv"}, "table, json or csv");
    }

    int Run(const GlobalOptions& global) override {
        TolmSession session(LibraryPath(global), global.adapter);
        ModuleList list;
        const double seconds = Scan(session, limits_, list);
        const ScanReport report =
            MakeScanReport(list, session.AdapterNames(), seconds, session.DroppedAnswers());
        const Format format = format_ == "json"  ? Format::kJson
                              : format_ == "csv" ? Format::kCsv
                                                 : Format::kTable;
        // Module texts reach a terminal escaped, whatever the format; a file gets them exact.
        Print(format == Format::kJson  ? JsonText(report)
              : format == Format::kCsv ? CsvText(report, IsTerminal(stdout))
                                       : TableText(report));
        for (const std::string& line : ScanWarnings(report, format)) Warn(line);
        if (limits_.expect > 0 && report.modules.size() < limits_.expect)
            throw Failure(kNotFound, "found " + std::to_string(report.modules.size()) + " of " +
                                         std::to_string(limits_.expect) + " expected modules");
        return kSuccess;
    }

  private:
    ScanLimits limits_;
    std::string format_;
};

}  // namespace

std::unique_ptr<Verb> MakeScanVerb() {
    return std::make_unique<ScanVerb>();
}

}  // namespace tolm::linkora
