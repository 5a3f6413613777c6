// The worker's sleep: signals interrupt it without making it spin, and the
// wake-up for Stop is never lost.
#include <gtest/gtest.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "platform/platform.h"

namespace tolm::platform {
namespace {

using namespace std::chrono_literals;

void IgnoreSignal(int) {}

// A worker loop as the engine runs it: wait, then look at the stop flag.
struct WaitingThread {
    Waiter* waiter;
    std::atomic<bool> stop{false};
    std::atomic<int> returns{0};
    std::atomic<pthread_t> thread{};
    std::atomic<bool> started{false};

    void Run() {
        thread = pthread_self();
        started = true;
        while (!stop.load()) {
            WaiterWait(waiter);
            ++returns;
        }
    }
};

TEST(PosixWaiter, SignalsNeitherSpinTheWaitNorLoseTheWake) {
    struct sigaction action {};
    action.sa_handler = IgnoreSignal;  // no SA_RESTART: poll fails with EINTR
    sigemptyset(&action.sa_mask);
    struct sigaction previous {};
    ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);

    Waiter* waiter = WaiterCreate(nullptr);
    ASSERT_NE(waiter, nullptr);
    WaitingThread waiting{waiter};
    auto done = std::async(std::launch::async, [&waiting] { waiting.Run(); });
    while (!waiting.started.load()) std::this_thread::sleep_for(1ms);

    constexpr int kSignals = 200;
    for (int i = 0; i < kSignals; ++i) {
        pthread_kill(waiting.thread.load(), SIGUSR1);
        std::this_thread::sleep_for(100us);
    }
    std::this_thread::sleep_for(50ms);
    // Each signal ends at most one wait; a spinning wait would count thousands.
    EXPECT_LE(waiting.returns.load(), kSignals);

    waiting.stop = true;
    WaiterWake(waiter);
    EXPECT_EQ(done.wait_for(5s), std::future_status::ready) << "the wake-up was lost";
    done.wait();
    WaiterDestroy(waiter);
    sigaction(SIGUSR1, &previous, nullptr);
}

TEST(PosixWaiter, AWakeBeforeTheWaitIsKept) {
    Waiter* waiter = WaiterCreate(nullptr);
    ASSERT_NE(waiter, nullptr);
    WaiterWake(waiter);
    auto waited = std::async(std::launch::async, [waiter] { WaiterWait(waiter); });
    EXPECT_EQ(waited.wait_for(5s), std::future_status::ready);
    waited.wait();
    WaiterDestroy(waiter);
}

}  // namespace
}  // namespace tolm::platform
