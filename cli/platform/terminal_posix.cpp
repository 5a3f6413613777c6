#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
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
    // Read in short waits rather than one blocking read: a Ctrl-C that lands between the prompt
    // and the read would otherwise interrupt nothing and leave the prompt waiting for ever.
    const sig_atomic_t interrupts = g_interrupts;
    std::string line;
    bool read = false;
    while (g_interrupts == interrupts) {
        pollfd input{STDIN_FILENO, POLLIN, 0};
        const int ready = ::poll(&input, 1, 100);
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        char c = 0;
        const ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            read = !line.empty();
            break;
        }
        if (c == '\n') {
            read = true;
            break;
        }
        line += c;
    }
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
