// On Windows: a 1 ms periodic multimedia timer at the finest resolution sets
// an auto-reset event, and a thread waits on it at most 1 ms at a time.
#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

#include "periodic_waker.h"

namespace tolm::bench {

struct PeriodicWaker::Timer {
    HANDLE tick = nullptr;
    UINT resolution = 0;
    MMRESULT id = 0;
};

namespace {

void CALLBACK OnTimer(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    SetEvent(reinterpret_cast<HANDLE>(user));
}

}  // namespace

const char* PeriodicWaker::FigureName() {
    return "idle_wakeups_mmtimer_reference";
}

bool PeriodicWaker::Start() {
    timer_ = new Timer;
    timer_->tick = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    TIMECAPS caps;
    if (timeGetDevCaps(&caps, sizeof caps) == TIMERR_NOERROR)
        timer_->resolution = caps.wPeriodMin < caps.wPeriodMax ? caps.wPeriodMin : caps.wPeriodMax;
    timeBeginPeriod(timer_->resolution);
    if (timer_->tick != nullptr)
        timer_->id = timeSetEvent(1, timer_->resolution, OnTimer,
                                  reinterpret_cast<DWORD_PTR>(timer_->tick), TIME_PERIODIC);
    if (timer_->id == 0) {
        Stop();
        return false;
    }
    stop_requested_.store(false);
    thread_ = std::thread(&PeriodicWaker::Run, this);
    return true;
}

void PeriodicWaker::Stop() {
    if (timer_ == nullptr) return;
    stop_requested_.store(true);
    if (thread_.joinable()) thread_.join();
    if (timer_->id != 0) timeKillEvent(timer_->id);
    timeEndPeriod(timer_->resolution);
    if (timer_->tick != nullptr) CloseHandle(timer_->tick);
    delete timer_;
    timer_ = nullptr;
}

void PeriodicWaker::Run() {
    HANDLE tick = timer_->tick;
    while (!stop_requested_.load()) WaitForSingleObject(tick, 1);
}

}  // namespace tolm::bench
