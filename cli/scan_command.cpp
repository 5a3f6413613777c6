#include <cstdio>

#include "collect.h"
#include "commands.h"
#include "failure.h"

namespace tolm::linkora {

int RunScan(const CommandLine& c) {
    TolmSession session(c.library.empty() ? DefaultLibraryPath() : c.library, c.adapter);
    ModuleList list;
    ScanReport report;
    report.seconds = Scan(session, c.limits, list);
    report.modules = list.Modules();
    report.without_mac = list.WithoutMac();
    report.adapters = session.AdapterNames();
    const std::string text = c.format == Format::kJson  ? JsonText(report)
                             : c.format == Format::kCsv ? CsvText(report)
                                                        : TableText(report);
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    if (c.format == Format::kCsv && !report.without_mac.empty())
        std::fprintf(stderr, "linkora: %zu answers without a MAC address are not listed\n",
                     report.without_mac.size());
    if (c.limits.expect > 0 && report.modules.size() < c.limits.expect)
        throw Failure(kNotFound, "found " + std::to_string(report.modules.size()) + " of " +
                                     std::to_string(c.limits.expect) + " expected modules");
    return kSuccess;
}

}  // namespace tolm::linkora
