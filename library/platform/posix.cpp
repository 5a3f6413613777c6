// POSIX: a non-blocking UDP socket, poll() on it and an eventfd for waking,
// a recursive pthread mutex with timed locking, and std::thread.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <new>
#include <thread>

#include "platform/platform.h"

namespace tolm::platform {

struct Socket {
    int fd;
};

struct Waiter {
    int socket_fd;  // -1 without a socket
    int wake_fd;
};

struct Mutex {
    pthread_mutex_t mutex;
};

struct Thread {
    std::thread thread;
};

namespace {

bool SetOption(int fd, int name, int value) {
    return setsockopt(fd, SOL_SOCKET, name, &value, sizeof value) == 0;
}

}  // namespace

Socket* socket_open(std::uint16_t port, int receive_buffer_bytes, SocketStatus* status) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        *status = SocketStatus::create_failed;
        return nullptr;
    }
    // SO_RCVBUF is capped by net.core.rmem_max (208 KiB on a stock system, too
    // little for a burst of answers); a privileged process may go past it.
    const bool buffer_set = SetOption(fd, SO_RCVBUFFORCE, receive_buffer_bytes) ||
                            SetOption(fd, SO_RCVBUF, receive_buffer_bytes);
    if (!SetOption(fd, SO_BROADCAST, 1) || !buffer_set) {
        *status = SocketStatus::option_failed;
        ::close(fd);
        return nullptr;
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        *status = SocketStatus::bind_failed;
        ::close(fd);
        return nullptr;
    }
    Socket* socket = new (std::nothrow) Socket{fd};
    if (socket == nullptr) ::close(fd);
    *status = socket ? SocketStatus::ok : SocketStatus::create_failed;
    return socket;
}

void socket_close(Socket* socket) {
    ::close(socket->fd);
    delete socket;
}

bool socket_send_broadcast(Socket* socket, std::uint16_t port, const char* data,
                           std::size_t length) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    to.sin_port = htons(port);
    ssize_t sent;
    do {
        sent = ::sendto(socket->fd, data, length, 0, reinterpret_cast<const sockaddr*>(&to),
                        sizeof to);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(length);
}

ReceiveStatus socket_receive(Socket* socket, char* buffer, std::size_t capacity,
                             std::size_t* length) {
    sockaddr_in from{};
    socklen_t from_length = sizeof from;
    ssize_t received;
    // MSG_TRUNC reports the datagram's real length, so one cut short is seen and dropped.
    do {
        received = ::recvfrom(socket->fd, buffer, capacity, MSG_TRUNC | MSG_DONTWAIT,
                              reinterpret_cast<sockaddr*>(&from), &from_length);
    } while (received < 0 && errno == EINTR);
    if (received < 0)
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? ReceiveStatus::nothing_waiting
                                                         : ReceiveStatus::dropped;
    if (static_cast<std::size_t>(received) > capacity) return ReceiveStatus::dropped;
    *length = static_cast<std::size_t>(received);
    return ReceiveStatus::datagram;
}

Waiter* waiter_create(Socket* socket) {
    const int wake_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_fd < 0) return nullptr;
    Waiter* waiter = new (std::nothrow) Waiter{socket ? socket->fd : -1, wake_fd};
    if (waiter == nullptr) ::close(wake_fd);
    return waiter;
}

void waiter_destroy(Waiter* waiter) {
    ::close(waiter->wake_fd);
    delete waiter;
}

void waiter_wait(Waiter* waiter) {
    pollfd fds[2] = {{waiter->wake_fd, POLLIN, 0}, {waiter->socket_fd, POLLIN, 0}};
    const nfds_t count = waiter->socket_fd >= 0 ? 2 : 1;
    if (::poll(fds, count, -1) > 0 && (fds[0].revents & POLLIN)) {
        eventfd_t value;
        eventfd_read(waiter->wake_fd, &value);
    }
}

void waiter_wake(Waiter* waiter) {
    eventfd_write(waiter->wake_fd, 1);
}

Mutex* mutex_create() {
    Mutex* mutex = new (std::nothrow) Mutex;
    if (mutex == nullptr) return nullptr;
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    const bool made = pthread_mutex_init(&mutex->mutex, &attributes) == 0;
    pthread_mutexattr_destroy(&attributes);
    if (made) return mutex;
    delete mutex;
    return nullptr;
}

void mutex_destroy(Mutex* mutex) {
    if (mutex == nullptr) return;
    pthread_mutex_destroy(&mutex->mutex);
    delete mutex;
}

bool mutex_lock(Mutex* mutex, unsigned timeout_ms) {
    // pthread_mutex_timedlock counts on the real-time clock.
    timespec deadline;
    clock_gettime(CLOCK_REALTIME, &deadline);
    deadline.tv_sec += timeout_ms / 1000;
    deadline.tv_nsec += static_cast<long>(timeout_ms % 1000) * 1000000L;
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_sec += 1;
        deadline.tv_nsec -= 1000000000L;
    }
    return pthread_mutex_timedlock(&mutex->mutex, &deadline) == 0;
}

void mutex_unlock(Mutex* mutex) {
    pthread_mutex_unlock(&mutex->mutex);
}

Thread* thread_start(void (*entry)(void* arg), void* arg) {
    try {
        return new Thread{std::thread(entry, arg)};
    } catch (...) {
        return nullptr;
    }
}

void thread_join(Thread* thread) {
    thread->thread.join();
    delete thread;
}

}  // namespace tolm::platform
