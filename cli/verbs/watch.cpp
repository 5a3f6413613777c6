// linkora watch: every answer and notification as it arrives, until Ctrl-C.
#include <cstdio>

#include "cli/command_line/options.h"
#include "cli/output/console.h"
#include "cli/output/json_document.h"
#include "cli/output/printable.h"
#include "cli/output/scan_report.h"
#include "cli/platform/terminal.h"
#include "cli/session/scan.h"
#include "cli/session/tolm_session.h"
#include "cli/verbs/verbs.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;
using json = nlohmann::ordered_json;

// How often Ctrl-C is looked for while nothing arrives.
constexpr Milliseconds kInterruptCheck{100};
constexpr Milliseconds kDropReportInterval{1000};
// Closer scans would only flood the segment; one a day is the least.
constexpr Milliseconds kShortestInterval{100};
constexpr Milliseconds kLongestInterval{86400000};

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
        Warn(std::to_string(total) + " answers dropped so far: more arrived than could be queued");
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
        json event = Document(fields);
        event["seconds"] = Seconds();
        Print(JsonText(event, -1) + "\n");
    }

    void PrintText(const std::string& line) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%8.3f  ", Seconds());
        Print(seconds + line + "\n");
    }

    bool json_;
    Clock::time_point start_;
};

class WatchVerb : public Verb {
  public:
    const char* Name() const override { return "watch"; }

    void Define(CLI::App& app) override {
        CLI::App* watch = app.add_subcommand(
            Name(), "Prints every answer and notification as it arrives until Ctrl-C.");
        watch->fallthrough();
        AddFormat(watch, format_, {"text", "json"}, "text, or json for JSON lines");
        watch->add_flag("--no-scan", no_scan_, "Only listen; send no scan");
        AddMilliseconds(watch, "--every", every_, "Scan again every TIME (e.g. 2000, 2s, 500ms)",
                        kShortestInterval, kLongestInterval);
    }

    int Run(const GlobalOptions& global) override {
        CatchInterrupt();
        TolmSession session(LibraryPath(global), global.adapter);
        EventPrinter printer(format_ == "json");
        Clock::time_point next_scan = no_scan_ ? Clock::time_point::max() : Clock::now();
        std::uint32_t dropped_told = 0;
        Clock::time_point next_drop_report = Clock::now();
        while (!Interrupted()) {
            if (Clock::now() >= next_scan) {
                session.SendScan();
                next_scan = every_.count() > 0 ? Clock::now() + every_ : Clock::time_point::max();
            }
            const bool drained =
                TakeQueued(session, Clock::now() + kInterruptCheck,
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

  private:
    std::string format_;
    bool no_scan_ = false;
    Milliseconds every_{0};  // 0: one scan at the start only
};

}  // namespace

std::unique_ptr<Verb> MakeWatchVerb() {
    return std::make_unique<WatchVerb>();
}

}  // namespace tolm::linkora
