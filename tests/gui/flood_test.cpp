// The main window under a flood of answers: the lab's simulator stands in
// for 20,000 modules that answer the first scan one after another, while the
// window's thread is kept busy for three seconds. Every answer must be
// listed once the window is free again, nothing left in the library's queue,
// with far fewer messages than answers.
#include <windows.h>

#include <string>

#include "check_log.h"
#include "ferrow_dlg.h"
#include "gui_tests.h"
#include "harness.h"
#include "lab_environment.h"
#include "resource.h"
#include "tolm_library.h"

using tolm::windows_test::Check;

namespace gui_test {

void RunFloodTests() {
    constexpr int kModules = 20000;
    constexpr DWORD kBusy = 3000;
    constexpr DWORD kPatience = 60000;
    UseLibraryFolder("real");
    CFerrowDlg dialog;
    dialog.SetExitButtonText("Exit");
    long messages = 0;
    const INT_PTR result = RunMainWindow(dialog, [&](HWND window) {
        const HWND list = dialog.m_listDevices.m_hWnd;
        WatchMessages([&messages, window](const MSG& message) {
            if (message.hwnd == window &&
                (message.message == WM_TOLM_NOTIFY || message.message == WM_TIMER))
                ++messages;
        });
        // The answers to the first scan arrive meanwhile.
        ::Sleep(kBusy);
        const bool listed = WaitUntil([list] { return ListRowCount(list) == kModules; }, kPatience);
        PumpFor(500);
        TOLM_ModuleScanResponseType left;
        const bool empty = Tolm().TOLM_GetResponse(&left) == 0;
        WatchMessages(nullptr);
        Check(listed && ListRowCount(list) == kModules && empty && messages < kModules / 4,
              "20,000 modules answering while the window is busy for 3 s: " +
                  std::to_string(ListRowCount(list)) + " rows listed, the library's queue " +
                  (empty ? "empty" : "not empty") + ", " + std::to_string(messages) +
                  " messages handled");
        ClickButton(window, IDOK);
    });
    Check(result == IDOK, "Exit ends the main window");
}

}  // namespace gui_test
