// The main window as a window: what Exit and the Close command leave for the
// start-up code, Escape, the About entry, the minimum size, the layout after
// resizing and maximising; and starting with UDP port 3250 held by another
// program, or with a library that is refused or missing.
#include <windows.h>

#include <cstring>
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

constexpr DWORD kPatience = 10000;
constexpr int kMacColumn = 6;

bool Empty(const char (&text)[18]) {
    for (char c : text) {
        if (c != '\0') return false;
    }
    return true;
}

void CheckSelectionOnExit() {
    OtherTool tool;
    CFerrowDlg dialog;
    dialog.SetExitButtonText("OK");
    std::string caption;
    const INT_PTR result = RunMainWindow(dialog, [&](HWND window) {
        const HWND list = dialog.m_listDevices.m_hWnd;
        // A module that reports no IP address.
        tool.Answer(ModuleMac(0x97), "");
        WaitUntil([list] { return FindListRow(list, kMacColumn, ModuleMac(0x97)) >= 0; },
                  kPatience);
        caption = WindowText(::GetDlgItem(window, IDOK));
        SelectListRow(list, FindListRow(list, kMacColumn, ModuleMac(0x97)));
        ClickButton(window, IDOK);
    });
    Check(result == IDOK && caption == "OK" && std::string(dialog.m_szSelectedIp) == "N/A" &&
              std::string(dialog.m_szSelectedMac) == ModuleMac(0x97),
          "the button reads as set; pressed with a row selected it keeps the row's IP and MAC "
          "texts, N/A for an address the module did not report");

    CFerrowDlg unselected;
    const INT_PTR plain = RunMainWindow(unselected, [](HWND window) { ClickButton(window, IDOK); });
    Check(plain == IDOK && Empty(unselected.m_szSelectedIp) && Empty(unselected.m_szSelectedMac),
          "Exit without a selected row leaves both texts empty");
}

// The About box, as a timer finds it while WM_SYSCOMMAND runs it modally.
struct AboutSeen {
    HWND main = nullptr;
    bool seen = false;
    HWND owner = nullptr;
    std::string caption;
};
AboutSeen g_about;

BOOL CALLBACK CloseAboutBox(HWND window, LPARAM) {
    if (window == g_about.main || !::IsWindowVisible(window) ||
        ::GetClassLongA(window, GCW_ATOM) != reinterpret_cast<ULONG_PTR>(WC_DIALOG)) {
        return TRUE;
    }
    g_about.seen = true;
    g_about.owner = ::GetWindow(window, GW_OWNER);
    g_about.caption = WindowText(window);
    ::PostMessageA(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK FindAboutBox(HWND, UINT, UINT_PTR timer, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), &CloseAboutBox, 0);
    if (g_about.seen) ::KillTimer(nullptr, timer);
}

void CheckSystemMenu(HWND window) {
    const HMENU menu = ::GetSystemMenu(window, FALSE);
    const int items = ::GetMenuItemCount(menu);
    char text[64] = {};
    ::GetMenuStringA(menu, items - 1, text, sizeof text, MF_BYPOSITION);
    Check(WindowText(window) == "Brannic Linkora CFG" &&
              ::GetMenuItemID(menu, items - 1) == IDM_ABOUTBOX &&
              std::string(text) == "&About Brannic Linkora CFG..." &&
              (::GetMenuState(menu, items - 2, MF_BYPOSITION) & MF_SEPARATOR) != 0,
          "the title, and the system menu's last entry About after a separator");
    g_about = {window, false, nullptr, {}};
    ::SetTimer(nullptr, 0, 50, &FindAboutBox);
    ::SendMessageA(window, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    Check(g_about.owner == window && g_about.caption == "About Brannic Linkora CFG",
          "the About entry opens the About box over the main window: \"" + g_about.caption + "\"");
}

void CheckNothingCloses(HWND window) {
    ::PostMessageA(::GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    ::PostMessageA(::GetFocus(), WM_KEYUP, VK_ESCAPE, 0xC0010001);
    PumpMessages();
    ::SendMessageA(window, WM_COMMAND, IDCANCEL, 0);
    ::SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE | 0x2, 0);
    PumpMessages();
    Check(::IsWindowVisible(window) != FALSE,
          "Escape, a cancel command and a Close command with low bits set leave the window open");
}

void CheckMinimumSize(HWND window) {
    RECT start;
    ::GetWindowRect(window, &start);
    bool held = true;
    for (UINT edge = WMSZ_LEFT; edge <= WMSZ_BOTTOMRIGHT; ++edge) {
        const bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
        const bool top = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
        // Dragged far past the minimum: the dragged edges moved, the others stayed.
        RECT drag = start;
        (left ? drag.left : drag.right) = left ? start.right - 60 : start.left + 60;
        (top ? drag.top : drag.bottom) = top ? start.bottom - 40 : start.top + 40;
        ::SendMessageA(window, WM_SIZING, edge, reinterpret_cast<LPARAM>(&drag));
        const RECT expected = {left ? start.right - kMinimumWidth : start.left,
                               top ? start.bottom - kMinimumHeight : start.top,
                               left ? start.right : start.left + kMinimumWidth,
                               top ? start.bottom : start.top + kMinimumHeight};
        held = held && ::EqualRect(&drag, &expected);
        RECT roomy = start;
        ::SendMessageA(window, WM_SIZING, edge, reinterpret_cast<LPARAM>(&roomy));
        held = held && ::EqualRect(&roomy, &start);
    }
    Check(held, "dragging any edge or corner stops at 194 x 130 with the opposite edges in place");
}

// A control's rectangle from its template's position and size, mapped to
// pixels as the dialog manager maps them: position and size each on its own.
RECT TemplateRect(HWND dialog, int x, int y, int width, int height) {
    RECT units{x, y, width, height};
    ::MapDialogRect(dialog, &units);
    return {units.left, units.top, units.left + units.right, units.top + units.bottom};
}

RECT ChildRect(HWND dialog, int id) {
    RECT rect;
    ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The template's distances, in pixels: the list 7 dialog units from the left,
// top and right and 24 from the bottom; the buttons 5 from the bottom, Exit 7
// and Scan 67 from the right, at their size.
bool LaidOutAsTemplate(HWND dialog) {
    const RECT client0 = TemplateRect(dialog, 0, 0, 416, 185);
    RECT client;
    ::GetClientRect(dialog, &client);
    const auto anchored = [&](const RECT& at, bool stretch) {
        const int right = client.right - (client0.right - at.right);
        const int bottom = client.bottom - (client0.bottom - at.bottom);
        return stretch ? RECT{at.left, at.top, right, bottom}
                       : RECT{right - (at.right - at.left), bottom - (at.bottom - at.top), right,
                              bottom};
    };
    const RECT list = anchored(TemplateRect(dialog, 7, 7, 402, 154), true);
    const RECT scan = anchored(TemplateRect(dialog, 299, 166, 50, 14), false);
    const RECT exit = anchored(TemplateRect(dialog, 359, 166, 50, 14), false);
    const RECT list_now = ChildRect(dialog, IDC_DEVICE_LIST);
    const RECT scan_now = ChildRect(dialog, IDC_SCAN);
    const RECT exit_now = ChildRect(dialog, IDOK);
    return ::EqualRect(&list_now, &list) && ::EqualRect(&scan_now, &scan) &&
           ::EqualRect(&exit_now, &exit);
}

void CheckLayout(HWND window) {
    Check(LaidOutAsTemplate(window),
          "at start the list and buttons stand as the template has them");
    ::SetWindowPos(window, nullptr, 0, 0, 900, 520, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    Check(LaidOutAsTemplate(window),
          "after resizing the list stretches, the buttons keep their "
          "size and distance from the bottom-right corner");
    RECT before;
    ::GetClientRect(window, &before);
    ::ShowWindow(window, SW_MAXIMIZE);
    WaitUntil(
        [window, &before] {
            RECT now;
            ::GetClientRect(window, &now);
            return now.right > before.right && now.bottom > before.bottom;
        },
        kPatience);
    Check(::IsZoomed(window) && LaidOutAsTemplate(window), "maximised, the same layout");
    ::ShowWindow(window, SW_RESTORE);
    WaitUntil([window] { return !::IsZoomed(window); }, kPatience);
    Check(LaidOutAsTemplate(window), "restored, the same layout");
}

void CheckWindow() {
    CFerrowDlg dialog;
    dialog.SetExitButtonText("Exit");
    const INT_PTR result = RunMainWindow(dialog, [&dialog](HWND window) {
        CheckSystemMenu(window);
        CheckNothingCloses(window);
        CheckMinimumSize(window);
        CheckLayout(window);
        const HWND list = dialog.m_listDevices.m_hWnd;
        WaitUntil([list] { return ListRowCount(list) > 0; }, kPatience);
        SelectListRow(list, 0);
        ::SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    Check(result == IDOK && Empty(dialog.m_szSelectedIp) && Empty(dialog.m_szSelectedMac),
          "the Close command ends the window with IDOK and empty texts, a row selected or not");
}

void CheckPortHeld() {
    PortHolder holder;
    Check(holder.Holding(), "another program holds UDP port 3250");
    const int scans = ScansReceived();
    MessageBoxRecorder boxes;
    CFerrowDlg dialog;
    bool usable = false;
    const INT_PTR result = RunMainWindow(dialog, [&](HWND window) {
        WaitUntil([&boxes] { return !boxes.Calls().empty(); }, kPatience);
        ClickButton(window, IDC_SCAN);
        PumpFor(300);
        usable = ::IsWindowVisible(window) && ListRowCount(dialog.m_listDevices.m_hWnd) == 0;
        ClickButton(window, IDOK);
    });
    const auto& calls = boxes.Calls();
    const bool told =
        calls.size() == 2 &&
        calls[0].text.find("another program uses UDP port 3250") != std::string::npos &&
        calls[0].text.find("start this program again") != std::string::npos &&
        calls[0].caption == "Error" && calls[0].type == (MB_OK | MB_ICONSTOP) &&
        calls[0].owner == calls[1].owner && calls[0].owner != nullptr &&
        calls[1].text == calls[0].text;
    Check(told,
          "with the port held the user is told why no scan goes out, at start and when "
          "Scan is pressed: " +
              (calls.empty() ? std::string("no message") : calls[0].text));
    Check(usable && result == IDOK && ScansReceived() == scans,
          "the window stays usable with an empty list and ends with Exit; nothing was sent");
}

void CheckLibraryRefused(const std::string& variant, const char* text, const char* caption,
                         UINT type) {
    UseLibraryFolder(variant);
    const int scans = ScansReceived();
    MessageBoxRecorder boxes;
    CFerrowDlg dialog;
    bool shown = false;
    const INT_PTR result = RunMainWindow(dialog, [&shown](HWND window) {
        shown = true;
        ClickButton(window, IDOK);
    });
    const auto& calls = boxes.Calls();
    Check(result == IDCANCEL && !shown && calls.size() == 1 && calls[0].text == text &&
              calls[0].caption == caption && calls[0].type == type && calls[0].owner != nullptr &&
              !IsTolmLibraryBound() && ScansReceived() == scans,
          variant + ": \"" + text + "\", the window ends with IDCANCEL, no scan is sent");
}

}  // namespace

void RunMainWindowTests() {
    UseLibraryFolder("real");
    CheckSelectionOnExit();
    CheckWindow();
    CheckPortHeld();
    CheckLibraryRefused("refused_1400", "Incorrect TOLM.DLL version", "Warning",
                        MB_OK | MB_ICONEXCLAMATION);
    CheckLibraryRefused("missing", "Incorrect TOLM.DLL version", "Warning",
                        MB_OK | MB_ICONEXCLAMATION);
    CheckLibraryRefused("no_dll_get_version", "Error loading TOLM.DLL", "Error",
                        MB_OK | MB_ICONSTOP);
    ::SetDllDirectoryA(nullptr);
}

}  // namespace gui_test
