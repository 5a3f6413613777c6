#include <io.h>
#include <windows.h>

#include <atomic>
#include <iostream>

#include "terminal.h"

namespace tolm::linkora {
namespace {

std::atomic<bool> g_interrupted{false};

BOOL WINAPI OnConsoleEvent(DWORD) {
    g_interrupted = true;
    return TRUE;
}

}  // namespace

bool IsTerminal(std::FILE* stream) {
    return _isatty(_fileno(stream)) != 0;
}

std::optional<std::string> ReadHiddenLine(const std::string& prompt) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD saved = 0;
    const bool hidden = GetConsoleMode(input, &saved) != 0;
    if (hidden) SetConsoleMode(input, saved & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    std::fputs(prompt.c_str(), stderr);
    std::fflush(stderr);
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (hidden) SetConsoleMode(input, saved);
    std::fputc('\n', stderr);
    if (!read) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void CatchInterrupt() {
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool Interrupted() {
    return g_interrupted.load();
}

bool TakeInterrupt() {
    return g_interrupted.exchange(false);
}

}  // namespace tolm::linkora
