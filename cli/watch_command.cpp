#include <cstdio>

#include "collect.h"
#include "commands.h"
#include "printable.h"
#include "record_text.h"
#include "scan_report.h"
#include "terminal.h"
#include "tolm_session.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;
using json = nlohmann::ordered_json;

// How often Ctrl-C is looked for while nothing arrives.
constexpr Milliseconds kInterruptCheck{100};
constexpr Milliseconds kDropReportInterval{1000};

class EventPrinter {
  public:
    explicit EventPrinter(bool json) : json_(json), start_(Clock::now()) {}

    void PrintAnswer(const Answer& answer) {
        if (json_) return PrintJson({{"event", "answer"}, {"module", AnswerJson(answer)}});
        const std::vector<std::string> row = RowTexts(answer);
        std::string line = "answer";
        for (const int column : {client::kColumnIp, client::kColumnMac}) line += "  " + row[column];
        line += "  " + client::HostNameText(answer.record);
        if (!answer.adapter.empty()) line += "  via " + answer.adapter;
        PrintText(Printable(line));
    }

    // Told on standard error too, where a reader of the output would not look.
    void PrintDropped(std::uint32_t total) {
        std::fprintf(stderr,
                     "linkora: %u answers dropped so far: more arrived than could be queued\n",
                     total);
        std::fflush(stderr);
        if (json_) PrintJson({{"event", "dropped"}, {"dropped", total}});
    }

    void PrintReconfigured() {
        if (json_) return PrintJson({{"event", "reconfigured"}});
        PrintText("reconfigured");
    }

    void PrintInvalidPassword(const client::Mac& mac) {
        const std::string text = client::MacText(mac.data());
        if (json_) return PrintJson({{"event", "invalid_password"}, {"mac", text}});
        PrintText("invalid password  " + text);
    }

  private:
    double Seconds() const { return std::chrono::duration<double>(Clock::now() - start_).count(); }

    void PrintJson(json fields) {
        json event{{"schema_version", kSchemaVersion}};
        event.update(fields);
        event["seconds"] = Seconds();
        std::printf("%s\n", JsonText(event, -1).c_str());
        std::fflush(stdout);
    }

    void PrintText(const std::string& line) {
        std::printf("%8.3f  %s\n", Seconds(), line.c_str());
        std::fflush(stdout);
    }

    bool json_;
    Clock::time_point start_;
};

}  // namespace

int RunWatch(const CommandLine& c) {
    CatchInterrupt();
    TolmSession session(c.library.empty() ? DefaultLibraryPath() : c.library, c.adapter);
    EventPrinter printer(c.watch.json);
    const auto every = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(c.watch.every_seconds));
    Clock::time_point next_scan = c.watch.no_scan ? Clock::time_point::max() : Clock::now();
    std::uint32_t dropped_told = 0;
    Clock::time_point next_drop_report = Clock::now();
    while (!Interrupted()) {
        if (Clock::now() >= next_scan) {
            session.SendScan();
            next_scan = every.count() > 0 ? Clock::now() + every : Clock::time_point::max();
        }
        const bool drained = TakeQueued(session, Clock::now() + kInterruptCheck,
                                        [&](const Answer& answer) { printer.PrintAnswer(answer); });
        for (int n = session.TakeReconfiguredCount(); n > 0; --n) printer.PrintReconfigured();
        for (int n = 0; n < TOLM_MAX_QUEUED_INVALID_PASSWORDS && !Interrupted(); ++n) {
            const std::optional<client::Mac> mac = session.TakeInvalidPasswordMac();
            if (!mac) break;
            printer.PrintInvalidPassword(*mac);
        }
        const std::uint32_t dropped = session.DroppedAnswers();
        if (dropped > dropped_told && Clock::now() >= next_drop_report) {
            printer.PrintDropped(dropped);
            dropped_told = dropped;
            next_drop_report = Clock::now() + kDropReportInterval;
        }
        if (drained) session.WaitUntil(std::min(next_scan, Clock::now() + kInterruptCheck));
    }
    return 0;
}

}  // namespace tolm::linkora
