// How the program copes with answers that keep coming: the main window with
// the real library against a simulator that answers every scan with N
// modules at a steady rate (tolm-sim --modules N --answers-per-second R).
// The start-up scan's answers are counted; once they are listed, Scan is
// pressed; meanwhile a thread of its own asks the list for its row count
// every 20 ms, as another program would, and times each answer. Answers the socket dropped while the
// library's thread fell behind (a loaded machine) are counted apart: they
// never reach the window; so are those the library itself dropped (its
// queue full, a datagram it could not read). Runs under Wine on an X server,
// inside the lab.
// Usage: linkora-cfg-bench-flood MODULES RATE
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include "ferrow_dlg.h"
#include "figure.h"
#include "framework/win_app.h"
#include "harness.h"
#include "lab_environment.h"
#include "resource.h"
#include "stopwatch.h"
#include "tolm_library.h"

namespace {

constexpr DWORD kReaderPauseMs = 20;
// Beyond the answers' own time; the program should need far less.
constexpr double kPatienceMs = 60000;
// A list that grew no further for this long has all that reached the program.
constexpr DWORD kSettledMs = 2000;

// The longest a row-count request from another thread waited for its answer.
class Reader {
  public:
    explicit Reader(HWND list)
        : m_thread([this, list] {
              while (!m_stop.load()) {
                  const tolm::bench::Stopwatch asked;
                  DWORD_PTR rows = 0;
                  ::SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 600000, &rows);
                  const double waited = asked.Milliseconds();
                  m_longest_us.store(
                      std::max(m_longest_us.load(), static_cast<long>(waited * 1000)));
                  ::Sleep(kReaderPauseMs);
              }
          }) {}
    ~Reader() { Stop(); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    void Stop() {
        m_stop.store(true);
        if (m_thread.joinable()) m_thread.join();
    }
    double LongestMilliseconds() const { return static_cast<double>(m_longest_us.load()) / 1000; }

  private:
    std::atomic<bool> m_stop{false};
    std::atomic<long> m_longest_us{0};
    std::thread m_thread;
};

// The list's paints while the answers arrive, from a window procedure put in
// front of its own: it sees those the message loop hands out and those that
// UpdateWindow sends.
WNDPROC g_list_procedure = nullptr;
long long g_paints = 0;
bool g_answering = false;

LRESULT CALLBACK CountPaints(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_PAINT && g_answering) ++g_paints;
    return ::CallWindowProcA(g_list_procedure, window, message, wparam, lparam);
}

// Waits until the list holds `modules` rows or grows no further; the time
// of its last new row, from `since`.
double WaitUntilListed(HWND list, int modules, double answers_ms,
                       const tolm::bench::Stopwatch& since) {
    double last_row_ms = 0;
    int rows = gui_test::ListRowCount(list);
    tolm::bench::Stopwatch unchanged;
    while (rows < modules && since.Milliseconds() < answers_ms + kPatienceMs &&
           (unchanged.Milliseconds() < kSettledMs || since.Milliseconds() < answers_ms)) {
        gui_test::WaitUntil([list, rows] { return gui_test::ListRowCount(list) != rows; }, 10);
        if (gui_test::ListRowCount(list) == rows) continue;
        rows = gui_test::ListRowCount(list);
        last_row_ms = since.Milliseconds();
        unchanged.Restart();
    }
    return last_row_ms;
}

double PeakWorkingSetMiB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    const int modules = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int rate = argc > 2 ? std::atoi(argv[2]) : 4000;
    const double answers_ms = 1000.0 * modules / rate;
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES};
    ::InitCommonControlsEx(&controls);
    CWinApp app;
    CFerrowDlg dialog;
    dialog.SetExitButtonText("Exit");
    long long notifications = 0;
    int listed = 0;
    long dropped = 0;
    double listed_ms = 0;
    double reply_max_ms = 0;
    TOLM_DropCountsType library_dropped{};
    int startup_listed = 0;
    long startup_dropped = 0;
    const long dropped_at_start = gui_test::UdpDatagramsDropped();
    gui_test::RunMainWindow(dialog, [&](HWND window) {
        const HWND list = dialog.m_listDevices.m_hWnd;
        WaitUntilListed(list, modules, answers_ms, tolm::bench::Stopwatch());
        const long dropped_before = gui_test::UdpDatagramsDropped();
        startup_listed = gui_test::ListRowCount(list);
        startup_dropped = dropped_before - dropped_at_start;
        tolm::bench::Stopwatch answering;
        g_list_procedure = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountPaints)));
        gui_test::WatchMessages([&](const MSG& message) {
            if (message.hwnd == window &&
                (message.message == WM_TOLM_NOTIFY || message.message == WM_TIMER))
                ++notifications;
            g_answering = answering.Milliseconds() < answers_ms;
        });
        Reader reader(list);
        gui_test::ClickButton(window, IDC_SCAN);
        answering.Restart();
        listed_ms = WaitUntilListed(list, modules, answers_ms, answering);
        listed = gui_test::ListRowCount(list);
        dropped = gui_test::UdpDatagramsDropped() - dropped_before;
        reader.Stop();
        reply_max_ms = reader.LongestMilliseconds();
        gui_test::WatchMessages(nullptr);
        if (Tolm().TOLM_GetDropCounts != nullptr) Tolm().TOLM_GetDropCounts(&library_dropped);
        ::SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_list_procedure));
        gui_test::ClickButton(window, IDOK);
    });
    // Every answer that reached the program is listed.
    const bool complete = listed + dropped == modules;
    const std::string name =
        "program_flood_" + std::to_string(modules) + "_at_" + std::to_string(rate) + "_";
    const auto figure = [&name](const char* what, double value, const char* unit) {
        tolm::bench::PrintFigure((name + what).c_str(), value, unit);
    };
    // The start-up scan's answers arrive while the window is still being made.
    tolm::bench::PrintCount((name + "startup_rows_listed").c_str(), startup_listed,
                            startup_listed + startup_dropped == modules ? "every_answer_received"
                                                                        : "answers_left_behind");
    tolm::bench::PrintCount((name + "startup_socket_dropped").c_str(), startup_dropped, "answers");
    tolm::bench::PrintCount((name + "rows_listed").c_str(), listed,
                            complete ? "every_answer_received" : "answers_left_behind");
    tolm::bench::PrintCount((name + "socket_dropped").c_str(), dropped, "answers");
    tolm::bench::PrintCount((name + "library_dropped").c_str(),
                            library_dropped.dwResponses + library_dropped.dwDatagrams, "datagrams");
    figure("listed_seconds", listed_ms / 1000, "s");
    figure("after_last_answer_seconds", (listed_ms - answers_ms) / 1000, "s");
    figure("reply_max_ms", reply_max_ms, "ms");
    tolm::bench::PrintCount((name + "messages_handled").c_str(), notifications, "messages");
    tolm::bench::PrintCount((name + "list_paints_while_answering").c_str(), g_paints, "paints");
    figure("peak_working_set", PeakWorkingSetMiB(), "MiB");
    return complete ? 0 : 1;
}
