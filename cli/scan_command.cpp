#include <cstdio>

#include "collect.h"
#include "commands.h"
#include "failure.h"
#include "printable.h"

namespace tolm::linkora {

int RunScan(const CommandLine& c) {
    TolmSession session(c.library.empty() ? DefaultLibraryPath() : c.library, c.adapter);
    ModuleList list;
    const double seconds = Scan(session, c.limits, list);
    const ScanReport report =
        MakeScanReport(list, session.AdapterNames(), seconds, session.DroppedAnswers());
    const std::string text = c.format == Format::kJson  ? JsonText(report)
                             : c.format == Format::kCsv ? CsvText(report)
                                                        : TableText(report);
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    for (const std::string& line : ScanWarnings(report, c.format))
        std::fprintf(stderr, "linkora: %s\n", Printable(line).c_str());
    if (c.limits.expect > 0 && report.modules.size() < c.limits.expect)
        throw Failure(kNotFound, "found " + std::to_string(report.modules.size()) + " of " +
                                     std::to_string(c.limits.expect) + " expected modules");
    return kSuccess;
}

}  // namespace tolm::linkora
