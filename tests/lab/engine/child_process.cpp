#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace tolm::labtest {

namespace {

using Clock = std::chrono::steady_clock;

void ClosePipe(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

int DecodeStatus(int raw) {
    if (WIFEXITED(raw)) return WEXITSTATUS(raw);
    if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
    return -1;
}

[[noreturn]] void ExecChild(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    const std::string why = "cannot run " + argv[0] + ": " + std::strerror(errno) + "\n";
    [[maybe_unused]] auto written = ::write(STDERR_FILENO, why.data(), why.size());
    ::_exit(127);
}

pid_t Spawn(const std::vector<std::string>& argv, int stdin_fd, int stdout_fd) {
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed: " + std::string(std::strerror(errno)));
    if (pid > 0) return pid;
    if (stdin_fd >= 0) ::dup2(stdin_fd, STDIN_FILENO);
    if (stdout_fd >= 0) ::dup2(stdout_fd, STDOUT_FILENO);
    ExecChild(argv);
}

std::optional<int> WaitFor(pid_t pid, Milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        int raw = 0;
        const pid_t done = ::waitpid(pid, &raw, WNOHANG);
        if (done == pid) return DecodeStatus(raw);
        if (done < 0 && errno != EINTR) return -1;
        if (Clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(Milliseconds(5));
    }
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    int in[2];
    int out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed: " + std::string(std::strerror(errno)));
    // A host that died must not kill the driver with SIGPIPE.
    ::signal(SIGPIPE, SIG_IGN);
    pid_ = Spawn(argv, in[0], out[1]);
    ::close(in[0]);
    ::close(out[1]);
    to_child_ = in[1];
    from_child_ = out[0];
}

ChildProcess::~ChildProcess() {
    ClosePipe(to_child_);
    ClosePipe(from_child_);
    if (status_ || pid_ < 0) return;
    if (WaitFor(pid_, Milliseconds(2000))) return;
    ::kill(pid_, SIGKILL);
    WaitFor(pid_, Milliseconds(5000));
}

void ChildProcess::WriteLine(const std::string& line) {
    const std::string data = line + "\n";
    std::size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t n = ::write(to_child_, data.data() + sent, data.size() - sent);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw std::runtime_error("host's stdin is closed (" + line + ")");
        sent += static_cast<std::size_t>(n);
    }
}

std::optional<std::string> ChildProcess::ReadLine(Milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        const std::size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            // Windows programs end their lines with CR LF.
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
        const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return std::nullopt;
        pollfd readable = {from_child_, POLLIN, 0};
        const int ready = ::poll(&readable, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;
        char chunk[4096];
        const ssize_t n = ::read(from_child_, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return std::nullopt;
        pending_.append(chunk, static_cast<std::size_t>(n));
    }
}

std::optional<int> ChildProcess::Wait(Milliseconds timeout) {
    if (!status_) status_ = WaitFor(pid_, timeout);
    return status_;
}

int RunCommand(const std::vector<std::string>& argv, Milliseconds timeout) {
    const int dev_null = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const pid_t pid = Spawn(argv, dev_null, -1);
    if (dev_null >= 0) ::close(dev_null);
    const auto status = WaitFor(pid, timeout);
    if (status) return *status;
    ::kill(pid, SIGKILL);
    WaitFor(pid, Milliseconds(5000));
    throw std::runtime_error(argv[0] + " did not end within " + std::to_string(timeout.count()) +
                             " ms");
}

}  // namespace tolm::labtest
