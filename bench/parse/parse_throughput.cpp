// tolm-bench-parse: scan responses parsed per second on one thread, for a
// full answer in the simulator's form. Prints the median of the repetitions
// as "name value unit" lines instead of Google Benchmark's table.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "figure.h"
#include "protocol/messages.h"

namespace {

const std::string kTypicalAnswer =
    "protocol version = 1.0;fb type = PROFIBUS DP;module version = 2.15.1000;"
    "mac = 02-00-00-00-00-01;ip = 10.77.0.101;sn = 255.255.255.0;gw = 10.77.0.1;"
    "dhcp = off;pswd = off;hn = module-1;dns1 = 10.77.0.1;dns2 = 10.77.0.2;";

void ParseScanResponse(benchmark::State& state) {
    for (auto _ : state) {
        TOLM_ModuleScanResponseType record = tolm::protocol::ParseScanResponse(kTypicalAnswer);
        benchmark::DoNotOptimize(record);
    }
    state.SetItemsProcessed(state.iterations());
}

// What the worker does per datagram: find the text, classify it, parse it.
void HandleDatagram(benchmark::State& state) {
    const std::string datagram = kTypicalAnswer + '\0';
    for (auto _ : state) {
        const std::string_view text =
            tolm::protocol::DatagramText(datagram.data(), datagram.size());
        if (tolm::protocol::Classify(text) == tolm::protocol::DatagramKind::kScanResponse) {
            TOLM_ModuleScanResponseType record = tolm::protocol::ParseScanResponse(text);
            benchmark::DoNotOptimize(record);
        }
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(ParseScanResponse)->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(HandleDatagram)->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);

class FigureReporter : public benchmark::BenchmarkReporter {
  public:
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.aggregate_name != "median") continue;
            const auto rate = run.counters.find("items_per_second");
            if (rate == run.counters.end()) continue;
            const std::string name = run.run_name.function_name == "ParseScanResponse"
                                         ? "parse_scan_responses_per_second"
                                         : "handle_datagrams_per_second";
            tolm::bench::PrintFigure(name.c_str(), rate->second.value, "1/s");
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    FigureReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
