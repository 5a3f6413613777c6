#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "cli/platform/terminal.h"

namespace tolm::linkora {
namespace {

volatile sig_atomic_t g_interrupts = 0;

void OnSignal(int) {
    g_interrupts = g_interrupts + 1;
}

}  // namespace

bool IsTerminal(std::FILE* stream) {
    return ::isatty(::fileno(stream)) == 1;
}

std::size_t TerminalColumns() {
    winsize size{};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    if (const char* columns = std::getenv("COLUMNS")) {
        const long value = std::strtol(columns, nullptr, 10);
        if (value > 0) return static_cast<std::size_t>(value);
    }
    return 80;
}

bool EnableEscapes(std::FILE*) {
    return true;
}

std::optional<std::string> ReadHiddenLine(const std::string& prompt) {
    // Echo goes off before the prompt shows, so nothing typed after it is echoed or flushed.
    termios saved;
    const bool hidden = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (hidden) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::fputs(prompt.c_str(), stderr);
    std::fflush(stderr);
    std::string line;
    const bool read = static_cast<bool>(std::getline(std::cin, line));
    if (hidden) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::fputc('\n', stderr);
    if (!read) return std::nullopt;
    return line;
}

void CatchInterrupt() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}

void KeepRunningWhenOutputCloses() {
    ::signal(SIGPIPE, SIG_IGN);
}

int Interrupts() {
    return g_interrupts;
}

}  // namespace tolm::linkora
