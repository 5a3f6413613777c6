// Natively: a thread that sleeps 1 ms at a time.
#include <time.h>

#include "periodic_waker.h"

namespace tolm::bench {

const char* PeriodicWaker::FigureName() {
    return "idle_wakeups_1ms_sleep_reference";
}

bool PeriodicWaker::Start() {
    stop_requested_.store(false);
    thread_ = std::thread(&PeriodicWaker::Run, this);
    return true;
}

void PeriodicWaker::Stop() {
    if (!thread_.joinable()) return;
    stop_requested_.store(true);
    thread_.join();
}

void PeriodicWaker::Run() {
    const timespec period{0, 1'000'000};
    while (!stop_requested_.load()) clock_nanosleep(CLOCK_MONOTONIC, 0, &period, nullptr);
}

}  // namespace tolm::bench
