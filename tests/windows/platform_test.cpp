// The Windows platform layer on its own, under Wine in the lab: the socket's
// receive outcomes, the port held by one socket only, the waiter, and the
// mutex's nesting, time limit and abandonment.
#include "platform/platform.h"

#include <winsock2.h>

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
    platform::ReceiveStatus status = platform::socket_receive(socket, buffer, capacity, length);
    while (status == platform::ReceiveStatus::nothing_waiting) {
        platform::waiter_wait(waiter);
        status = platform::socket_receive(socket, buffer, capacity, length);
    }
    return status;
}

void CheckSocket() {
    platform::SocketStatus status = platform::SocketStatus::create_failed;
    platform::Socket* socket = platform::socket_open(TOLM_PORT, 64 * 1024, &status);
    Check(socket != nullptr && status == platform::SocketStatus::ok, "the socket opens");
    if (socket == nullptr) return;
    platform::SocketStatus second_status = platform::SocketStatus::ok;
    platform::Socket* second = platform::socket_open(TOLM_PORT, 64 * 1024, &second_status);
    Check(second == nullptr && second_status == platform::SocketStatus::bind_failed,
          "a second socket on the same port fails to bind");

    char buffer[16];
    std::size_t length = 99;
    Check(platform::socket_receive(socket, buffer, sizeof buffer, &length) ==
              platform::ReceiveStatus::nothing_waiting,
          "an empty socket reports nothing waiting at once");

    platform::Waiter* waiter = platform::waiter_create(socket);
    const std::string oversized(sizeof buffer + 1, 'x');
    Check(platform::socket_send_broadcast(socket, TOLM_PORT, "", 0) &&
              platform::socket_send_broadcast(socket, TOLM_PORT, oversized.data(),
                                              oversized.size()) &&
              platform::socket_send_broadcast(socket, TOLM_PORT, "fits", 4),
          "three broadcasts go out");
    Check(WaitAndReceive(waiter, socket, buffer, sizeof buffer, &length) ==
                  platform::ReceiveStatus::datagram &&
              length == 0,
          "an empty datagram is received with length 0");
    Check(WaitAndReceive(waiter, socket, buffer, sizeof buffer, &length) ==
              platform::ReceiveStatus::dropped,
          "a datagram longer than the buffer is dropped");
    Check(WaitAndReceive(waiter, socket, buffer, sizeof buffer, &length) ==
                  platform::ReceiveStatus::datagram &&
              std::string(buffer, length) == "fits",
          "the datagram after it is received whole");
    platform::waiter_destroy(waiter);
    platform::socket_close(socket);

    socket = platform::socket_open(TOLM_PORT, 64 * 1024, &status);
    Check(socket != nullptr, "the port is free again after the socket closed");
    platform::socket_close(socket);
}

void CheckWaiterWithoutSocket() {
    platform::Waiter* waiter = platform::waiter_create(nullptr);
    Check(waiter != nullptr, "a waiter without socket is created");
    std::thread waker([waiter] { platform::waiter_wake(waiter); });
    platform::waiter_wait(waiter);
    waker.join();
    Check(true, "waiter_wake from another thread ends the wait");
    platform::waiter_destroy(waiter);
}

void CheckMutex() {
    platform::Mutex* mutex = platform::mutex_create();
    Check(platform::mutex_lock(mutex, 0) && platform::mutex_lock(mutex, 0),
          "the holder takes the mutex again");
    bool other_got_it = true;
    std::thread([&] { other_got_it = platform::mutex_lock(mutex, 50); }).join();
    Check(!other_got_it, "another thread gives up after its time limit");
    platform::mutex_unlock(mutex);
    std::thread([&] { other_got_it = platform::mutex_lock(mutex, 50); }).join();
    Check(!other_got_it, "one unlock of two nested locks keeps the mutex held");
    platform::mutex_unlock(mutex);
    // The thread below ends holding the mutex: abandoned, still usable.
    std::thread([&] { other_got_it = platform::mutex_lock(mutex, 50); }).join();
    Check(other_got_it, "after the last unlock another thread takes it");
    Check(platform::mutex_lock(mutex, 1000), "a mutex abandoned by its holder is taken");
    platform::mutex_unlock(mutex);
    platform::mutex_destroy(mutex);
}

void CheckThread() {
    bool ran = false;
    platform::Thread* thread =
        platform::thread_start([](void* flag) { *static_cast<bool*>(flag) = true; }, &ran);
    Check(thread != nullptr, "a thread starts");
    platform::thread_join(thread);
    Check(ran, "thread_join returns after the thread ran");
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
