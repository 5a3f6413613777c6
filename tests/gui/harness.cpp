#include "harness.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "framework/win_app.h"

namespace gui_test {
namespace {

CDialog* g_running_dialog = nullptr;
const std::function<void(HWND)>* g_drive = nullptr;
UINT_PTR g_drive_timer = 0;
std::function<void(const MSG&)> g_watcher;

void CALLBACK DriveOnce(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    g_drive_timer = 0;
    const HWND dialog = g_running_dialog->m_hWnd;
    // The modal loop shows a dialog without WS_VISIBLE once its queue is
    // empty; until then, come back.
    if (!::IsWindowVisible(dialog)) {
        g_drive_timer = ::SetTimer(nullptr, 0, 10, &DriveOnce);
        return;
    }
    ::RedrawWindow(dialog, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    (*g_drive)(dialog);
}

// The dialogs that DriveDialogsOpenedBy waits for: shown dialog windows of
// this thread that were not there before, one after another.
struct DialogWait {
    std::vector<HWND> before;
    const std::vector<std::function<void(HWND)>>* drives = nullptr;
    std::size_t driven = 0;
    HWND found = nullptr;
};
DialogWait* g_dialog_wait = nullptr;

BOOL CALLBACK FindNewDialog(HWND window, LPARAM) {
    const std::vector<HWND>& before = g_dialog_wait->before;
    if (::IsWindowVisible(window) &&
        ::GetClassLongA(window, GCW_ATOM) == reinterpret_cast<ULONG_PTR>(WC_DIALOG) &&
        std::find(before.begin(), before.end(), window) == before.end()) {
        g_dialog_wait->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK ListDialogs(HWND window, LPARAM) {
    g_dialog_wait->before.push_back(window);
    return TRUE;
}

void CALLBACK DriveNewDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    DialogWait* const wait = g_dialog_wait;
    // The one driven last must be gone before the next is looked for.
    if (wait == nullptr || (wait->found != nullptr && ::IsWindow(wait->found))) return;
    wait->found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindNewDialog, 0);
    if (wait->found == nullptr) return;
    const std::size_t next = wait->driven++;
    if (wait->driven == wait->drives->size()) ::KillTimer(nullptr, timer);
    (*wait->drives)[next](wait->found);
}

LPARAM CenterOf(HWND header, int index) {
    const RECT item = HeaderItemRect(header, index);
    return MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
}

}  // namespace

INT_PTR RunModal(CDialog& dialog, const std::function<void(HWND)>& drive) {
    // A thread timer's procedure runs from whatever loop dispatches it: here
    // the dialog's own modal loop, once the dialog is up.
    g_running_dialog = &dialog;
    g_drive = &drive;
    g_drive_timer = ::SetTimer(nullptr, 0, 0, &DriveOnce);
    const INT_PTR result = dialog.DoModal();
    // A dialog that ended while it initialised never ran its modal loop.
    if (g_drive_timer != 0) ::KillTimer(nullptr, g_drive_timer);
    g_drive_timer = 0;
    g_running_dialog = nullptr;
    g_drive = nullptr;
    return result;
}

INT_PTR RunMainWindow(CDialog& dialog, const std::function<void(HWND)>& drive) {
    CWinApp* app = AfxGetApp();
    app->m_pMainWnd = &dialog;
    const INT_PTR result = RunModal(dialog, drive);
    app->m_pMainWnd = nullptr;
    return result;
}

void PumpMessages() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (g_watcher) g_watcher(message);
        const HWND top = ::GetAncestor(message.hwnd, GA_ROOT);
        if (top != nullptr && ::IsDialogMessageA(top, &message)) continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

void WatchMessages(std::function<void(const MSG&)> watcher) {
    g_watcher = std::move(watcher);
}

bool WaitUntil(const std::function<bool()>& holds, DWORD timeout_ms) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        PumpMessages();
        if (holds()) return true;
        if (::GetTickCount() - start >= timeout_ms) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void PumpFor(DWORD milliseconds) {
    WaitUntil([] { return false; }, milliseconds);
}

bool DriveDialogOpenedBy(const std::function<void()>& open,
                         const std::function<void(HWND)>& drive) {
    return DriveDialogsOpenedBy(open, {drive}) == 1;
}

std::size_t DriveDialogsOpenedBy(const std::function<void()>& open,
                                 const std::vector<std::function<void(HWND)>>& drives) {
    DialogWait wait;
    wait.drives = &drives;
    DialogWait* const outer = std::exchange(g_dialog_wait, &wait);
    ::EnumThreadWindows(::GetCurrentThreadId(), &ListDialogs, 0);
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &DriveNewDialog);
    open();
    ::KillTimer(nullptr, timer);
    g_dialog_wait = outer;
    return wait.driven;
}

void ClickButton(HWND dialog, int id) {
    ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void Type(HWND edit, const std::string& text) {
    ::SetFocus(edit);
    for (char ch : text) ::SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(ch), 1);
}

void PressKey(UINT key) {
    ::PostMessageA(::GetFocus(), WM_KEYDOWN, key, 1);
    ::PostMessageA(::GetFocus(), WM_KEYUP, key, 0xC0000001);
}

void PressHeaderItem(HWND header, int index) {
    ::SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, CenterOf(header, index));
}

void ReleaseHeaderItem(HWND header, int index) {
    ::SendMessageA(header, WM_LBUTTONUP, 0, CenterOf(header, index));
}

void ClickHeaderItem(HWND header, int index) {
    PressHeaderItem(header, index);
    ReleaseHeaderItem(header, index);
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

bool ControlEnabled(HWND dialog, int id) {
    return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE;
}

bool EditReadOnly(HWND dialog, int id) {
    return (::GetWindowLongA(::GetDlgItem(dialog, id), GWL_STYLE) & ES_READONLY) != 0;
}

bool ButtonChecked(HWND dialog, int id) {
    return ::SendMessageA(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

DWORD AddressShown(HWND dialog, int id) {
    DWORD address = 0;
    ::SendMessageA(::GetDlgItem(dialog, id), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    return address;
}

void Retype(HWND edit, const std::string& text) {
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    Type(edit, text.empty() ? std::string("\b") : text);
}

int ListRowCount(HWND list) {
    return static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

std::string ListText(HWND list, int row, int column) {
    char text[512] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
    return text;
}

std::vector<std::string> ListColumnTexts(HWND list, int column) {
    std::vector<std::string> texts;
    for (int row = 0; row < ListRowCount(list); ++row) texts.push_back(ListText(list, row, column));
    return texts;
}

int FindListRow(HWND list, int column, const std::string& text) {
    const std::vector<std::string> texts = ListColumnTexts(list, column);
    for (std::size_t row = 0; row < texts.size(); ++row) {
        if (texts[row] == text) return static_cast<int>(row);
    }
    return -1;
}

POINT ListCellCenter(HWND list, int row, int column) {
    RECT cell{LVIR_LABEL, column, 0, 0};
    ::SendMessageA(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&cell));
    return {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
}

void DoubleClickList(HWND list, POINT point) {
    const LPARAM at = MAKELPARAM(point.x, point.y);
    ::SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::SendMessageA(list, WM_LBUTTONUP, 0, at);
}

void SelectListRow(HWND list, int row) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
}

std::string HeaderText(HWND header, int index) {
    char text[256] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&item));
    return text;
}

int HeaderFormat(HWND header, int index) {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    ::SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&item));
    return item.fmt;
}

RECT HeaderItemRect(HWND header, int index) {
    RECT rect{};
    ::SendMessageA(header, HDM_GETITEMRECT, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&rect));
    return rect;
}

namespace {

Bitmap Capture(HDC source, int x, int y, int width, int height) {
    Bitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HDC memory = ::CreateCompatibleDC(source);
    const HBITMAP section = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = ::SelectObject(memory, section);
    ::BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    ::GdiFlush();
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (int i = 0; i < width * height; ++i) {
        const DWORD bgr = pixels[i];
        bitmap.pixels.push_back(RGB((bgr >> 16) & 0xFF, (bgr >> 8) & 0xFF, bgr & 0xFF));
    }
    ::SelectObject(memory, previous);
    ::DeleteObject(section);
    ::DeleteDC(memory);
    return bitmap;
}

void WriteBitmapFile(const Bitmap& bitmap, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    const DWORD image_size = static_cast<DWORD>(bitmap.width * bitmap.height * 4);
    const BITMAPFILEHEADER header{
        0x4D42,
        static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + image_size), 0, 0,
        static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))};
    const BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER),
                                bitmap.width,
                                -bitmap.height,
                                1,
                                32,
                                BI_RGB,
                                image_size,
                                0,
                                0,
                                0,
                                0};
    std::fwrite(&header, sizeof header, 1, file);
    std::fwrite(&info, sizeof info, 1, file);
    for (COLORREF color : bitmap.pixels) {
        const DWORD bgr = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
        std::fwrite(&bgr, sizeof bgr, 1, file);
    }
    std::fclose(file);
}

}  // namespace

Bitmap CaptureClient(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT client;
    ::GetClientRect(window, &client);
    const HDC dc = ::GetDC(window);
    Bitmap bitmap = Capture(dc, 0, 0, client.right, client.bottom);
    ::ReleaseDC(window, dc);
    return bitmap;
}

void SaveScreenshot(HWND window, const std::string& name) {
    const char* folder = std::getenv("TOLM_GUI_SCREENSHOTS");
    if (folder == nullptr || *folder == '\0') return;
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    // The window manager maps and frames the window, and Wine hands what was
    // painted to the X server, in their own time.
    for (int i = 0; i < 20; ++i) {
        PumpMessages();
        ::Sleep(25);
    }
    RECT frame;
    ::GetWindowRect(window, &frame);
    // Room for the window manager's title bar and border around the window.
    constexpr int kFrame = 24;
    const int left = std::max(0L, frame.left - 4);
    const int top = std::max(0L, frame.top - kFrame);
    const HDC screen = ::GetDC(nullptr);
    const Bitmap bitmap =
        Capture(screen, left, top, frame.right + 4 - left, frame.bottom + 4 - top);
    ::ReleaseDC(nullptr, screen);
    WriteBitmapFile(bitmap, std::string("Z:") + folder + "/" + name + ".bmp");
}

MessageBoxRecorder::MessageBoxRecorder() {
    SetMessageBoxHook([this](const MessageBoxCall& call) {
        m_calls.push_back(call);
        if (m_meanwhile) m_meanwhile();
        return m_answer;
    });
}

MessageBoxRecorder::~MessageBoxRecorder() {
    SetMessageBoxHook(nullptr);
}

}  // namespace gui_test
