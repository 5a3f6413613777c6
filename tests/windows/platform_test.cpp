// The Windows platform layer on its own, under Wine in the lab: the socket's
// receive outcomes, the port held by one socket only, the waiter, and the
// mutex's nesting, time limit and abandonment.
#include "platform/platform.h"

#include <winsock2.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

#include "check_log.h"
#include "lab_guard.h"
#include "tolm.h"

namespace platform = tolm::platform;
using tolm::windows_test::Check;

namespace {

// Sleeps until the socket has a datagram, then reads one.
platform::ReceiveStatus WaitAndReceive(platform::Waiter* waiter, platform::Socket* socket,
                                       char* buffer, std::size_t capacity, std::size_t* length) {
    platform::ReceiveStatus status = platform::SocketReceive(socket, buffer, capacity, length);
    while (status == platform::ReceiveStatus::kNothingWaiting) {
        platform::WaiterWait(waiter);
        status = platform::SocketReceive(socket, buffer, capacity, length);
    }
    return status;
}

void CheckSocket() {
    platform::SocketError status;
    platform::Socket* socket = platform::SocketOpen(TOLM_PORT, 64 * 1024, &status);
    Check(socket != nullptr && status.status == platform::SocketStatus::kOk, "the socket opens");
    if (socket == nullptr) return;
    platform::SocketError second_status{platform::SocketStatus::kOk, 0};
    platform::Socket* second = platform::SocketOpen(TOLM_PORT, 64 * 1024, &second_status);
    Check(second == nullptr && second_status.status == platform::SocketStatus::kPortInUse,
          "a second socket on the same port fails to bind");

    char buffer[16];
    std::size_t length = 99;
    Check(platform::SocketReceive(socket, buffer, sizeof buffer, &length) ==
              platform::ReceiveStatus::kNothingWaiting,
          "an empty socket reports nothing waiting at once");

    platform::Waiter* waiter = platform::WaiterCreate(socket);
    const std::string oversized(sizeof buffer + 1, 'x');
    Check(
        platform::SocketSendBroadcast(socket, TOLM_PORT, "", 0) &&
            platform::SocketSendBroadcast(socket, TOLM_PORT, oversized.data(), oversized.size()) &&
            platform::SocketSendBroadcast(socket, TOLM_PORT, "fits", 4),
        "three broadcasts go out");
    Check(WaitAndReceive(waiter, socket, buffer, sizeof buffer, &length) ==
                  platform::ReceiveStatus::kDatagram &&
              length == 0,
          "an empty datagram is received with length 0");
    Check(WaitAndReceive(waiter, socket, buffer, sizeof buffer, &length) ==
              platform::ReceiveStatus::kDropped,
          "a datagram longer than the buffer is dropped");
    Check(WaitAndReceive(waiter, socket, buffer, sizeof buffer, &length) ==
                  platform::ReceiveStatus::kDatagram &&
              std::string(buffer, length) == "fits",
          "the datagram after it is received whole");

    // A drain of several datagrams, then one more: the waiter must hear it.
    for (int i = 0; i < 4; ++i) platform::SocketSendBroadcast(socket, TOLM_PORT, "more", 4);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    int drained = 0;
    platform::WaiterWait(waiter);
    while (platform::SocketReceive(socket, buffer, sizeof buffer, &length) ==
           platform::ReceiveStatus::kDatagram)
        ++drained;
    std::atomic<bool> sent{false};
    std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        sent = platform::SocketSendBroadcast(socket, TOLM_PORT, "late", 4);
        // Only a wait that missed the datagram lasts this long.
        std::this_thread::sleep_for(std::chrono::seconds(3));
        platform::WaiterWake(waiter);
    });
    // A wake may find nothing yet: the engine then waits again, as here.
    const auto waiting = std::chrono::steady_clock::now();
    bool late_received = false;
    while (!late_received && std::chrono::steady_clock::now() - waiting < std::chrono::seconds(2)) {
        platform::WaiterWait(waiter);
        late_received = platform::SocketReceive(socket, buffer, sizeof buffer, &length) ==
                            platform::ReceiveStatus::kDatagram &&
                        std::string(buffer, length) == "late";
    }
    const auto waited = std::chrono::steady_clock::now() - waiting;
    late.join();
    Check(drained == 4 && sent && late_received && waited < std::chrono::seconds(2),
          "after a drain of " + std::to_string(drained) +
              " datagrams the next one wakes the waiter at once");
    platform::WaiterDestroy(waiter);
    platform::SocketClose(socket);

    socket = platform::SocketOpen(TOLM_PORT, 64 * 1024, &status);
    Check(socket != nullptr, "the port is free again after the socket closed");
    platform::SocketClose(socket);
}

void CheckWaiterWithoutSocket() {
    platform::Waiter* waiter = platform::WaiterCreate(nullptr);
    Check(waiter != nullptr, "a waiter without socket is created");
    std::atomic<bool> woken{false};
    std::thread waker([waiter, &woken] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        woken = true;
        platform::WaiterWake(waiter);
    });
    platform::WaiterWait(waiter);
    Check(woken.load(), "the wait lasts until WaiterWake from another thread ends it");
    waker.join();
    platform::WaiterDestroy(waiter);
}

void CheckMutex() {
    platform::Mutex* mutex = platform::MutexCreate();
    Check(platform::MutexLock(mutex, 0) && platform::MutexLock(mutex, 0),
          "the holder takes the mutex again");
    bool other_got_it = true;
    std::thread([&] { other_got_it = platform::MutexLock(mutex, 50); }).join();
    Check(!other_got_it, "another thread gives up after its time limit");
    platform::MutexUnlock(mutex);
    std::thread([&] { other_got_it = platform::MutexLock(mutex, 50); }).join();
    Check(!other_got_it, "one unlock of two nested locks keeps the mutex held");
    platform::MutexUnlock(mutex);
    // The thread below ends holding the mutex: abandoned, still usable.
    std::thread([&] { other_got_it = platform::MutexLock(mutex, 50); }).join();
    Check(other_got_it, "after the last unlock another thread takes it");
    Check(platform::MutexLock(mutex, 1000), "a mutex abandoned by its holder is taken");
    platform::MutexUnlock(mutex);
    platform::MutexDestroy(mutex);
}

void CheckThread() {
    bool ran = false;
    platform::Thread* thread =
        platform::ThreadStart([](void* flag) { *static_cast<bool*>(flag) = true; }, &ran);
    Check(thread != nullptr, "a thread starts");
    platform::ThreadJoin(thread);
    Check(ran, "ThreadJoin returns after the thread ran");
    std::uint64_t other_id = 0;
    std::thread([&] { other_id = platform::CurrentThreadId(); }).join();
    Check(platform::CurrentThreadId() != 0 && other_id != 0 &&
              other_id != platform::CurrentThreadId(),
          "threads have distinct, nonzero ids");
}

}  // namespace

int main() {
    tolm::lab::RequireLab("tolm-platform-test");
    CheckSocket();
    CheckWaiterWithoutSocket();
    CheckMutex();
    CheckThread();
    return tolm::windows_test::Summarize();
}
