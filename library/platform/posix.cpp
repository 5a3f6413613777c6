// POSIX: a non-blocking UDP socket that tells each datagram's arrival
// interface, poll() on it and an eventfd for waking, a recursive pthread
// mutex with timed locking, and std::thread.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
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

SocketStatus StatusOf(int os_error) {
    switch (os_error) {
        case EADDRINUSE:
            return SocketStatus::kPortInUse;
        case EACCES:
        case EPERM:
            return SocketStatus::kAccessDenied;
        case EAFNOSUPPORT:
        case EADDRNOTAVAIL:
        case ENETDOWN:
        case ENETUNREACH:
            return SocketStatus::kNoNetwork;
        case ENOMEM:
        case ENOBUFS:
            return SocketStatus::kNoMemory;
        default:
            return SocketStatus::kFailed;
    }
}

// Records why the open failed, from errno, and closes what was opened.
Socket* Fail(int fd, SocketError* error) {
    const int os_error = errno;
    *error = {StatusOf(os_error), os_error};
    if (fd >= 0) ::close(fd);
    return nullptr;
}

}  // namespace

Socket* SocketOpen(std::uint16_t port, int receive_buffer_bytes, SocketError* error) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return Fail(fd, error);
    // SO_RCVBUF is capped by net.core.rmem_max (208 KiB on a stock system, too
    // little for a burst of answers); a privileged process may go past it.
    if (!SetOption(fd, SO_RCVBUFFORCE, receive_buffer_bytes) &&
        !SetOption(fd, SO_RCVBUF, receive_buffer_bytes))
        return Fail(fd, error);
    if (!SetOption(fd, SO_BROADCAST, 1)) return Fail(fd, error);
    // Each datagram then tells the interface it arrived on.
    const int on = 1;
    if (setsockopt(fd, IPPROTO_IP, IP_PKTINFO, &on, sizeof on) != 0) return Fail(fd, error);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(port);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
        return Fail(fd, error);
    Socket* socket = new (std::nothrow) Socket{fd};
    if (socket == nullptr) {
        ::close(fd);
        *error = {SocketStatus::kNoMemory, ENOMEM};
        return nullptr;
    }
    *error = {SocketStatus::kOk, 0};
    return socket;
}

void SocketClose(Socket* socket) {
    ::close(socket->fd);
    delete socket;
}

bool SocketSendTo(Socket* socket, std::uint32_t address, std::uint16_t port, const char* data,
                  std::size_t length) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(address);
    to.sin_port = htons(port);
    ssize_t sent;
    do {
        sent = ::sendto(socket->fd, data, length, 0, reinterpret_cast<const sockaddr*>(&to),
                        sizeof to);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(length);
}

bool SocketSendBroadcast(Socket* socket, std::uint16_t port, const char* data, std::size_t length) {
    return SocketSendTo(socket, INADDR_BROADCAST, port, data, length);
}

// IP_PKTINFO on the send names the outgoing interface and source address, so
// the limited broadcast leaves there and from port 3250 like every other send.
bool SocketSendThrough(Socket* socket, const Adapter& adapter, std::uint16_t port, const char* data,
                       std::size_t length) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    to.sin_port = htons(port);
    iovec payload{const_cast<char*>(data), length};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))] = {};
    msghdr message{};
    message.msg_name = &to;
    message.msg_namelen = sizeof to;
    message.msg_iov = &payload;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = IPPROTO_IP;
    header->cmsg_type = IP_PKTINFO;
    header->cmsg_len = CMSG_LEN(sizeof(in_pktinfo));
    in_pktinfo info{};
    info.ipi_ifindex = static_cast<int>(adapter.index);
    info.ipi_spec_dst.s_addr = htonl(adapter.address);
    std::memcpy(CMSG_DATA(header), &info, sizeof info);
    ssize_t sent;
    do {
        sent = ::sendmsg(socket->fd, &message, 0);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(length);
}

namespace {

// The arrival interface from the IP_PKTINFO control message, if any.
std::uint32_t ArrivalInterface(msghdr* message) {
    for (cmsghdr* header = CMSG_FIRSTHDR(message); header != nullptr;
         header = CMSG_NXTHDR(message, header)) {
        if (header->cmsg_level != IPPROTO_IP || header->cmsg_type != IP_PKTINFO) continue;
        in_pktinfo info;
        std::memcpy(&info, CMSG_DATA(header), sizeof info);
        return static_cast<std::uint32_t>(info.ipi_ifindex);
    }
    return 0;
}

}  // namespace

ReceiveStatus SocketReceive(Socket* socket, char* buffer, std::size_t capacity, std::size_t* length,
                            Origin* origin) {
    sockaddr_in from{};
    iovec data{buffer, capacity};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(in_pktinfo))];
    msghdr message{};
    message.msg_name = &from;
    message.msg_namelen = sizeof from;
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    ssize_t received;
    // MSG_TRUNC reports the datagram's real length, so one cut short is seen and dropped.
    do {
        received = ::recvmsg(socket->fd, &message, MSG_TRUNC | MSG_DONTWAIT);
    } while (received < 0 && errno == EINTR);
    if (received < 0)
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? ReceiveStatus::kNothingWaiting
                                                         : ReceiveStatus::kDropped;
    if (static_cast<std::size_t>(received) > capacity) return ReceiveStatus::kDropped;
    *length = static_cast<std::size_t>(received);
    if (origin != nullptr) {
        origin->interface_index = ArrivalInterface(&message);
        origin->sender_address = ntohl(from.sin_addr.s_addr);
        origin->sender_port = ntohs(from.sin_port);
    }
    return ReceiveStatus::kDatagram;
}

Waiter* WaiterCreate(Socket* socket) {
    const int wake_fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_fd < 0) return nullptr;
    Waiter* waiter = new (std::nothrow) Waiter{socket ? socket->fd : -1, wake_fd};
    if (waiter == nullptr) ::close(wake_fd);
    return waiter;
}

void WaiterDestroy(Waiter* waiter) {
    ::close(waiter->wake_fd);
    delete waiter;
}

// Returns after a wake, a datagram, or a signal. The wake-up is consumed
// only where poll saw it, so an interrupted wait loses none; a poll that
// fails for another reason pauses first, so that it cannot spin the worker.
void WaiterWait(Waiter* waiter) {
    pollfd fds[2] = {{waiter->wake_fd, POLLIN, 0}, {waiter->socket_fd, POLLIN, 0}};
    const nfds_t count = waiter->socket_fd >= 0 ? 2 : 1;
    const int ready = ::poll(fds, count, -1);
    if (ready < 0) {
        if (errno != EINTR) ::poll(nullptr, 0, 1);
        return;
    }
    if (fds[0].revents & POLLIN) {
        eventfd_t value;
        eventfd_read(waiter->wake_fd, &value);
    }
}

void WaiterWake(Waiter* waiter) {
    eventfd_write(waiter->wake_fd, 1);
}

Mutex* MutexCreate() {
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

void MutexDestroy(Mutex* mutex) {
    if (mutex == nullptr) return;
    pthread_mutex_destroy(&mutex->mutex);
    delete mutex;
}

bool MutexLock(Mutex* mutex, unsigned timeout_ms) {
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

void MutexUnlock(Mutex* mutex) {
    pthread_mutex_unlock(&mutex->mutex);
}

Thread* ThreadStart(void (*entry)(void* arg), void* arg) {
    try {
        return new Thread{std::thread(entry, arg)};
    } catch (...) {
        return nullptr;
    }
}

void ThreadJoin(Thread* thread) {
    thread->thread.join();
    delete thread;
}

bool ThreadIsCurrent(const Thread* thread) {
    return thread != nullptr && thread->thread.get_id() == std::this_thread::get_id();
}

void ThreadRelease(Thread* thread) {
    thread->thread.detach();
    delete thread;
}

void ThreadFinishAtUnload(Thread* thread) {
    ThreadJoin(thread);
}

void ThreadYield() {
    sched_yield();
}

std::uint64_t CurrentThreadId() {
    return static_cast<std::uint64_t>(::gettid());
}

}  // namespace tolm::platform
