// What linkora does with a big plan beyond its scan, in one process and
// without a network: reading it as CSV and as JSON, then checking it against
// a scan in which every planned module answered, and writing the findings
// as check prints them. Prints one "name value
// unit" line per figure, the fastest of three runs.
// Usage: tolm-bench-plan [MODULES...] (default 1000 10000 100000)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "cli/checks/plan_checks.h"
#include "cli/output/check_report.h"
#include "cli/plan/plan_reader.h"

namespace {

using namespace tolm::linkora;

std::string MacText(int n) {
    char text[18];
    std::snprintf(text, sizeof text, "02-00-00-%02X-%02X-%02X", n >> 16 & 0xFF, n >> 8 & 0xFF,
                  n & 0xFF);
    return text;
}

// Module n moves from 10.77.x.y to the address two hundred thousand on, as a
// renumbering does; the fleet's subnet is 10.0.0.0/8.
std::string PlannedIp(int n) {
    const int host = n + 200000;
    return "10." + std::to_string(host >> 16 & 0xFF) + "." + std::to_string(host >> 8 & 0xFF) +
           "." + std::to_string(host & 0xFF);
}

std::string CsvPlan(int modules) {
    std::string text = "MAC,IP,Host name\r\n";
    for (int n = 1; n <= modules; ++n)
        text += MacText(n) + "," + PlannedIp(n) + ",planned_" + std::to_string(n) + "\r\n";
    return text;
}

std::string JsonPlan(int modules) {
    std::string text = "{\"schema_version\": 1, \"modules\": [\n";
    for (int n = 1; n <= modules; ++n)
        text += std::string(n == 1 ? "" : ",\n") + "  {\"mac\": \"" + MacText(n) +
                "\", \"ip\": \"" + PlannedIp(n) + "\", \"host_name\": \"planned_" +
                std::to_string(n) + "\", \"dhcp\": false}";
    return text + "\n]}\n";
}

ScanView Fleet(int modules) {
    ScanView scan;
    for (int n = 1; n <= modules; ++n) {
        Answer a;
        TOLM_ModuleScanResponseType& r = a.record;
        std::memset(&r, 0, sizeof r);
        const unsigned char mac[6] = {0x02,
                                      0,
                                      0,
                                      static_cast<unsigned char>(n >> 16),
                                      static_cast<unsigned char>(n >> 8),
                                      static_cast<unsigned char>(n)};
        std::memcpy(r.abMacId, mac, sizeof mac);
        r.bMacIdValid = 1;
        r.dwIpAddress = 0x0A000000u + static_cast<std::uint32_t>(n);
        r.dwSubnetMask = 0xFF000000u;
        r.dwGateway = 0x0AFFFFFEu;
        r.bIpAddressValid = r.bSubnetMaskValid = r.bGatewayValid = r.bDhcpValid = 1;
        const std::string host = "module_" + std::to_string(n);
        std::memcpy(r.szHostName, host.data(), host.size());
        r.bHostNameValid = 1;
        a.adapter = "tl0";
        a.sender = r.dwIpAddress;
        scan.modules.push_back(a);
    }
    return scan;
}

double FastestMs(const std::function<void()>& run) {
    double best = 1e300;
    for (int i = 0; i < 3; ++i) {
        const auto started = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - started;
        best = std::min(best, took.count());
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {1000, 10000, 100000};
    // Each line as it is measured: the old quadratic reader took minutes.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    for (const int modules : sizes) {
        const std::string name = std::to_string(modules);
        const std::string csv = CsvPlan(modules), json = JsonPlan(modules);
        std::size_t read = 0;
        const double csv_ms =
            FastestMs([&] { read = ReadPlan(csv, "plan.csv").plan.modules.size(); });
        std::printf("plan_read_csv_%s %.1f ms\n", name.c_str(), csv_ms);
        const double json_ms =
            FastestMs([&] { read = ReadPlan(json, "plan.json").plan.modules.size(); });
        std::printf("plan_read_json_%s %.1f ms\n", name.c_str(), json_ms);
        const Plan plan = ReadPlan(csv, "plan.csv").plan;
        const ScanView scan = Fleet(modules);
        std::size_t findings = 0;
        const double check_ms = FastestMs([&] { findings = CheckModules(scan, &plan).size(); });
        std::printf("plan_check_%s %.1f ms\n", name.c_str(), check_ms);
        std::printf("plan_check_%s_findings %zu findings\n", name.c_str(), findings);
        CheckReport report;
        report.findings = CheckModules(scan, &plan);
        std::size_t length = 0;
        const double json_report_ms = FastestMs([&] { length = CheckJsonText(report).size(); });
        std::printf("plan_report_json_%s %.1f ms\n", name.c_str(), json_report_ms);
        const double table_ms = FastestMs([&] { length += CheckTableText(report).size(); });
        std::printf("plan_report_table_%s %.1f ms\n", name.c_str(), table_ms);
        if (read != static_cast<std::size_t>(modules)) return 1;
    }
    return 0;
}
