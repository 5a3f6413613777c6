#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "cli/platform/terminal.h"

namespace tolm::linkora {
namespace {

volatile sig_atomic_t g_interrupts = 0;
// Written by the signal handler, whichever thread it runs on, and never drained: a read waiting at
// a prompt wakes on it, also for a Ctrl-C that came between the prompt and the read.
int g_wake[2] = {-1, -1};

void OnSignal(int) {
    g_interrupts = g_interrupts + 1;
    if (g_wake[1] >= 0) {
        const int saved = errno;
        [[maybe_unused]] const ssize_t written = ::write(g_wake[1], "!", 1);
        errno = saved;
    }
}

// The line typed on the terminal, without its end; nothing at end of input or once Ctrl-C has
// been caught. Read a byte at a time from the descriptor, so that nothing typed after the line is
// taken from the next prompt.
std::optional<std::string> ReadTypedLine() {
    std::string line;
    while (g_interrupts == 0) {
        pollfd waits[2] = {{STDIN_FILENO, POLLIN, 0}, {g_wake[0], POLLIN, 0}};
        if (::poll(waits, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (waits[1].revents != 0) return std::nullopt;
        char c = 0;
        const ssize_t got = ::read(STDIN_FILENO, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) return line.empty() ? std::nullopt : std::optional<std::string>(line);
        if (c == '\n') return line;
        line += c;
    }
    return std::nullopt;
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
    std::optional<std::string> line = ReadTypedLine();
    if (hidden) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::fputc('\n', stderr);
    return line;
}

std::optional<std::string> ReadLine(const std::string& prompt) {
    std::fputs(prompt.c_str(), stderr);
    std::fflush(stderr);
    std::optional<std::string> line = ReadTypedLine();
    if (!line) std::fputc('\n', stderr);
    return line;
}

void CatchInterrupt() {
    if (g_wake[0] < 0 && ::pipe2(g_wake, O_CLOEXEC | O_NONBLOCK) != 0) g_wake[0] = g_wake[1] = -1;
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
