// The main window under a flood of answers: the lab's simulator stands in
// for 20,000 modules that answer the first scan one after another, while the
// window's thread is kept busy for three seconds. Every answer that reached
// the program must be listed once the window is free again, nothing left in
// the library's queue, with far fewer messages than answers. (On a loaded
// machine the socket may drop some while the library's thread falls behind;
// the namespace counts them, and they are not the window's to list.)
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
namespace {

constexpr int kModules = 20000;

}  // namespace

void RunFloodTests() {
    constexpr DWORD kBusy = 3000;
    constexpr DWORD kPatience = 60000;
    UseLibraryFolder("real");
    CFerrowDlg dialog;
    dialog.SetExitButtonText("Exit");
    long messages = 0;
    const long dropped_before = UdpDatagramsDropped();
    const INT_PTR result = RunMainWindow(dialog, [&](HWND window) {
        const HWND list = dialog.m_listDevices.m_hWnd;
        WatchMessages([&messages, window](const MSG& message) {
            if (message.hwnd == window &&
                (message.message == WM_TOLM_NOTIFY || message.message == WM_TIMER))
                ++messages;
        });
        // The answers to the first scan arrive meanwhile.
        ::Sleep(kBusy);
        // Until every answer is listed, or the list stops growing: what the
        // socket dropped never comes.
        const DWORD start = ::GetTickCount();
        for (int rows = -1; ListRowCount(list) != kModules && ListRowCount(list) != rows &&
                            ::GetTickCount() - start < kPatience;) {
            rows = ListRowCount(list);
            WaitUntil([list] { return ListRowCount(list) == kModules; }, 2000);
        }
        PumpFor(500);
        const long dropped = UdpDatagramsDropped() - dropped_before;
        const int listed = ListRowCount(list);
        TOLM_ModuleScanResponseType left;
        const bool empty = Tolm().TOLM_GetResponse(&left) == 0;
        WatchMessages(nullptr);
        Check(dropped_before >= 0 && listed == kModules - dropped && listed >= kModules / 2 &&
                  empty && messages < kModules / 4,
              "20,000 modules answering while the window is busy for 3 s: " +
                  std::to_string(listed) + " rows listed (" + std::to_string(dropped) +
                  " answers dropped by the socket), the library's queue " +
                  (empty ? "empty" : "not empty") + ", " + std::to_string(messages) +
                  " messages handled");
        ClickButton(window, IDOK);
    });
    Check(result == IDOK, "Exit ends the main window");
}

}  // namespace gui_test
