// What the library's callbacks saw, shared between the worker thread that
// calls them and the host's command loop. Every member is thread-safe.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace tolm::host {

class NotifyLog {
  public:
    void Record(int32_t code);
    std::vector<int32_t> Codes() const;
    // True when at least count codes arrived within the timeout.
    bool WaitForCount(std::size_t count, std::chrono::milliseconds timeout) const;

    // Callbacks running right now: nonzero after Stop means the worker was
    // still inside the host's code.
    void Enter();
    void Leave();
    int Active() const;

    // One entry per callback that called into the library itself.
    void AddInnerCall(std::string entry);
    std::vector<std::string> InnerCalls() const;

  private:
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<int32_t> codes_;
    std::vector<std::string> inner_calls_;
    int active_ = 0;
};

}  // namespace tolm::host
