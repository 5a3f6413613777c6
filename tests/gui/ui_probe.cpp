// linkora-cfg-ui-probe: reads and finds the running program's windows from
// outside, as a UI-automation tool does: the list's rows (through memory in
// the program's process, as a list view's texts cannot cross processes
// otherwise), control texts and screen rectangles for synthetic clicks.
// Built for the program's own architecture.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage: linkora-cfg-ui-probe [--window TITLE] COMMAND [ARGS]\n"
    "  wait-window [MS]   wait until the window (default \"Brannic Linkora CFG\") shows\n"
    "  wait-gone [MS]     wait until it is gone\n"
    "  wait-rows N [MS]   wait until it shows and its device list holds at least N rows\n"
    "  rows               the list's rows, one a line, columns separated by tabs\n"
    "  text ID            the text of the window's control ID\n"
    "  rect ID            \"x y width height\" on the screen of control ID (0: the client area)\n"
    "  row-rect N         the same for row N of the list\n"
    "  box-text [MS]      wait until a message box with the title shows; its text\n"
    "Waits last MS milliseconds (default 20000); exit status 1 when one runs out or the\n"
    "window is missing, 2 for a wrong command line.\n";
constexpr int kDeviceList = 1002;
constexpr int kTextCapacity = 512;

std::string g_title = "Brannic Linkora CFG";

HWND FindShownWindow() {
    const HWND window = ::FindWindowA("#32770", g_title.c_str());
    return window != nullptr && ::IsWindowVisible(window) ? window : nullptr;
}

constexpr int kMessageBoxText = 0xFFFF;

// A shown message box with the title: a dialog with the box's text control.
// The program captions its own boxes with its name, as its main window.
BOOL CALLBACK FindMessageBox(HWND window, LPARAM found) {
    char title[256] = {};
    char kind[16] = {};
    ::GetWindowTextA(window, title, sizeof title);
    ::GetClassNameA(window, kind, sizeof kind);
    if (::IsWindowVisible(window) && g_title == title && std::string(kind) == "#32770" &&
        ::GetDlgItem(window, kMessageBoxText) != nullptr) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindShownMessageBox() {
    HWND found = nullptr;
    ::EnumWindows(&FindMessageBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

template <class Condition>
bool WaitFor(Condition holds, int milliseconds) {
    const DWORD start = ::GetTickCount();
    while (!holds()) {
        if (static_cast<int>(::GetTickCount() - start) >= milliseconds) return false;
        ::Sleep(20);
    }
    return true;
}

// A block of memory in the process that owns a window, for messages whose
// parameters point at memory.
class RemoteBlock {
  public:
    RemoteBlock(HWND window, std::size_t size) : m_size(size) {
        DWORD process_id = 0;
        ::GetWindowThreadProcessId(window, &process_id);
        m_process = ::OpenProcess(
            PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
            FALSE, process_id);
        if (m_process != nullptr) {
            m_address = static_cast<char*>(
                ::VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
        }
    }
    ~RemoteBlock() {
        if (m_address != nullptr) ::VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        if (m_process != nullptr) ::CloseHandle(m_process);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool Ready() const { return m_address != nullptr; }
    char* Address(std::size_t offset = 0) const { return m_address + offset; }
    bool Write(std::size_t offset, const void* data, std::size_t size) const {
        return offset + size <= m_size &&
               ::WriteProcessMemory(m_process, m_address + offset, data, size, nullptr);
    }
    bool Read(std::size_t offset, void* data, std::size_t size) const {
        return offset + size <= m_size &&
               ::ReadProcessMemory(m_process, m_address + offset, data, size, nullptr);
    }

  private:
    HANDLE m_process = nullptr;
    char* m_address = nullptr;
    std::size_t m_size;
};

int RowCount(HWND list) {
    return static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

int ColumnCount(HWND list) {
    const HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    return static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
}

std::string CellText(HWND list, const RemoteBlock& block, int row, int column) {
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = block.Address(sizeof item);
    item.cchTextMax = kTextCapacity;
    char text[kTextCapacity] = {};
    if (!block.Write(0, &item, sizeof item)) return {};
    ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(block.Address()));
    block.Read(sizeof item, text, sizeof text - 1);
    return text;
}

bool PrintRows(HWND list) {
    RemoteBlock block(list, sizeof(LVITEMA) + kTextCapacity);
    if (!block.Ready()) return false;
    const int columns = ColumnCount(list);
    for (int row = 0; row < RowCount(list); ++row) {
        std::string line;
        for (int column = 0; column < columns; ++column) {
            line += (column > 0 ? "\t" : "") + CellText(list, block, row, column);
        }
        std::printf("%s\n", line.c_str());
    }
    return true;
}

void PrintRect(RECT rect) {
    std::printf("%ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
                rect.bottom - rect.top);
}

bool PrintRowRect(HWND list, int row) {
    RemoteBlock block(list, sizeof(RECT));
    RECT rect{LVIR_BOUNDS, 0, 0, 0};
    if (!block.Ready() || !block.Write(0, &rect, sizeof rect) ||
        !::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row),
                        reinterpret_cast<LPARAM>(block.Address())) ||
        !block.Read(0, &rect, sizeof rect)) {
        return false;
    }
    ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    PrintRect(rect);
    return true;
}

bool PrintControlRect(HWND window, int id) {
    RECT rect;
    if (id == 0) {
        ::GetClientRect(window, &rect);
        ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    } else {
        const HWND control = ::GetDlgItem(window, id);
        if (control == nullptr || !::GetWindowRect(control, &rect)) return false;
    }
    PrintRect(rect);
    return true;
}

bool PrintText(HWND window, int id) {
    const HWND control = ::GetDlgItem(window, id);
    if (control == nullptr) return false;
    char text[kTextCapacity] = {};
    // Asked of the control itself: for another process's window GetWindowText
    // gives the text it was created with, not what an edit holds now.
    DWORD_PTR copied = 0;
    if (!::SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                               SMTO_NORMAL, 10000, &copied))
        return false;
    std::printf("%s\n", text);
    return true;
}

int Run(const std::vector<std::string>& args) {
    const std::string& command = args[0];
    const auto number = [&args](std::size_t index, int fallback) {
        return index < args.size() ? std::atoi(args[index].c_str()) : fallback;
    };
    if (command == "wait-window") {
        return WaitFor([] { return FindShownWindow() != nullptr; }, number(1, 20000)) ? 0 : 1;
    }
    if (command == "wait-gone") {
        return WaitFor([] { return ::FindWindowA("#32770", g_title.c_str()) == nullptr; },
                       number(1, 20000))
                   ? 0
                   : 1;
    }
    if (command == "wait-rows" && args.size() >= 2) {
        const int rows = number(1, 0);
        return WaitFor(
                   [rows] {
                       const HWND window = FindShownWindow();
                       return window != nullptr &&
                              RowCount(::GetDlgItem(window, kDeviceList)) >= rows;
                   },
                   number(2, 20000))
                   ? 0
                   : 1;
    }
    if (command == "box-text") {
        if (!WaitFor([] { return FindShownMessageBox() != nullptr; }, number(1, 20000))) return 1;
        return PrintText(FindShownMessageBox(), kMessageBoxText) ? 0 : 1;
    }
    const HWND window = FindShownWindow();
    if (window == nullptr) {
        std::fprintf(stderr, "linkora-cfg-ui-probe: no window \"%s\"\n", g_title.c_str());
        return 1;
    }
    const HWND list = ::GetDlgItem(window, kDeviceList);
    if (command == "rows") return PrintRows(list) ? 0 : 1;
    if (command == "text" && args.size() == 2) return PrintText(window, number(1, 0)) ? 0 : 1;
    if (command == "rect" && args.size() == 2)
        return PrintControlRect(window, number(1, 0)) ? 0 : 1;
    if (command == "row-rect" && args.size() == 2) return PrintRowRect(list, number(1, 0)) ? 0 : 1;
    std::fputs(kUsage, stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    // Lines end in LF alone, and reach a pipe at once although Wine buffers stdout.
    _setmode(_fileno(stdout), _O_BINARY);
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() >= 2 && args[0] == "--window") {
        g_title = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    return Run(args);
}
