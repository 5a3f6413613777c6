// The classic way to pick answers up: a thread woken every millisecond
// whether anything arrived or not. The idle benchmark runs it as the
// reference the library's worker is compared with.
#pragma once

#include <atomic>
#include <thread>

namespace tolm::bench {

class PeriodicWaker {
  public:
    PeriodicWaker() = default;
    PeriodicWaker(const PeriodicWaker&) = delete;
    PeriodicWaker& operator=(const PeriodicWaker&) = delete;
    ~PeriodicWaker() { Stop(); }

    // False when the platform's timer could not be set up.
    bool Start();
    void Stop();

    // The figure's name: what kind of timer wakes the thread.
    static const char* FigureName();

  private:
    void Run();

    // The platform's timer, where it needs one besides the thread.
    struct Timer;

    std::atomic<bool> stop_requested_{false};
    std::thread thread_;
    Timer* timer_ = nullptr;
};

}  // namespace tolm::bench
