// A child process with its stdin and stdout on pipes, for driving
// tolm-host line by line; every read has a time limit.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace tolm::labtest {

using Milliseconds = std::chrono::milliseconds;

class ChildProcess {
  public:
    // Throws std::runtime_error when the process cannot be started.
    explicit ChildProcess(const std::vector<std::string>& argv);
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // A child still running is killed: a failed test leaves nothing behind.
    ~ChildProcess();

    void WriteLine(const std::string& line);
    // One line without its end; nullopt on time-out or end of output.
    std::optional<std::string> ReadLine(Milliseconds timeout);
    // The exit status (128+signal when killed); nullopt on time-out.
    std::optional<int> Wait(Milliseconds timeout);

  private:
    pid_t pid_ = -1;
    int to_child_ = -1;
    int from_child_ = -1;
    std::string pending_;
    std::optional<int> status_;
};

// Runs a command to its end with stdin closed; its exit status, or
// std::runtime_error when it does not end in time.
int RunCommand(const std::vector<std::string>& argv, Milliseconds timeout);

}  // namespace tolm::labtest
