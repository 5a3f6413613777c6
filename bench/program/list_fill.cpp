// How fast the program's list fills from one burst of answers: the main
// window runs with the real library against a simulator that answers every
// scan with N modules back to back (tolm-sim --modules N --burst); Scan is
// pressed and the time until the list holds all N rows is taken, and until
// they are painted. Runs under Wine on an X server, inside the lab.
// Usage: linkora-cfg-bench-list [MODULES] [RUNS]
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "ferrow_dlg.h"
#include "figure.h"
#include "framework/win_app.h"
#include "harness.h"
#include "resource.h"
#include "stopwatch.h"

namespace {

constexpr DWORD kPatience = 30000;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int modules = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int runs = argc > 2 ? std::atoi(argv[2]) : 5;
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES};
    ::InitCommonControlsEx(&controls);
    CWinApp app;
    CFerrowDlg dialog;
    dialog.SetExitButtonText("Exit");
    std::vector<double> filled;
    std::vector<double> painted;
    bool complete = true;
    gui_test::RunMainWindow(dialog, [&](HWND window) {
        const HWND list = dialog.m_listDevices.m_hWnd;
        const auto full = [list, modules] { return gui_test::ListRowCount(list) == modules; };
        // The first scan's answers, then each run from a press of Scan.
        complete = gui_test::WaitUntil(full, kPatience);
        for (int run = 0; run < runs && complete; ++run) {
            const tolm::bench::Stopwatch pressed;
            gui_test::ClickButton(window, IDC_SCAN);
            complete = gui_test::WaitUntil(full, kPatience);
            filled.push_back(pressed.Milliseconds());
            ::UpdateWindow(list);
            painted.push_back(pressed.Milliseconds());
        }
        gui_test::ClickButton(window, IDOK);
    });
    const std::string name = "program_list_" + std::to_string(modules);
    tolm::bench::PrintCount((name + "_runs").c_str(), static_cast<long long>(filled.size()),
                            complete ? "complete" : "incomplete");
    tolm::bench::PrintFigure((name + "_filled_median").c_str(), Median(filled), "ms");
    tolm::bench::PrintFigure((name + "_filled_max").c_str(),
                             filled.empty() ? 0.0 : *std::max_element(filled.begin(), filled.end()),
                             "ms");
    tolm::bench::PrintFigure((name + "_painted_median").c_str(), Median(painted), "ms");
    return complete ? 0 : 1;
}
