#include <io.h>
#include <windows.h>

#include <atomic>
#include <iostream>

#include "cli/platform/terminal.h"

namespace tolm::linkora {
namespace {

std::atomic<int> g_interrupts{0};

BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        ++g_interrupts;
        return TRUE;
    }
    // Closed, logged off or shut down: the process ends when this returns, so
    // it returns never; the main thread writes the record and exits, which
    // ends this thread too, unless Windows' few seconds run out first.
    g_interrupts += 2;
    ::Sleep(INFINITE);
    return TRUE;
}

// The line typed, without its end; nothing at end of input or when Ctrl-C ends the read.
std::optional<std::string> TypedLine() {
    std::string line;
    if (!std::getline(std::cin, line)) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

}  // namespace

bool IsTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

std::size_t TerminalColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info) &&
        info.srWindow.Right > info.srWindow.Left)
        return static_cast<std::size_t>(info.srWindow.Right - info.srWindow.Left + 1);
    return 80;
}

// Consoles before Windows 10 take no escape sequences at all; newer ones
// only once virtual-terminal processing is on.
bool EnableEscapes(std::FILE* stream) {
    const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return false;
    constexpr DWORD kVirtualTerminal = 0x0004;  // ENABLE_VIRTUAL_TERMINAL_PROCESSING
    return (mode & kVirtualTerminal) != 0 || SetConsoleMode(handle, mode | kVirtualTerminal);
}

std::optional<std::string> ReadHiddenLine(const std::string& prompt) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD saved = 0;
    const bool hidden = GetConsoleMode(input, &saved) != 0;
    if (hidden) SetConsoleMode(input, saved & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    std::fputs(prompt.c_str(), stderr);
    std::fflush(stderr);
    std::optional<std::string> line = TypedLine();
    if (hidden) SetConsoleMode(input, saved);
    std::fputc('\n', stderr);
    return line;
}

std::optional<std::string> ReadLine(const std::string& prompt) {
    std::fputs(prompt.c_str(), stderr);
    std::fflush(stderr);
    std::optional<std::string> line = TypedLine();
    if (!line) std::fputc('\n', stderr);
    return line;
}

void CatchInterrupt() {
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

void KeepRunningWhenOutputCloses() {
    // A write to a closed pipe fails on Windows; it raises no signal.
}

int Interrupts() {
    return g_interrupts.load();
}

}  // namespace tolm::linkora
