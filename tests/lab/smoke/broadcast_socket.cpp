#include "broadcast_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tolm::lab {
namespace {

[[noreturn]] void ThrowErrno(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

BroadcastSocket::BroadcastSocket(unsigned short port) : port_(port) {
    fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (fd_ < 0) ThrowErrno("socket");
    const int on = 1;
    if (::setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
        ::close(fd_);
        ThrowErrno("SO_BROADCAST");
    }
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(port);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd_);
        ThrowErrno("bind");
    }
}

BroadcastSocket::~BroadcastSocket() {
    ::close(fd_);
}

void BroadcastSocket::Broadcast(const std::string& datagram) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    to.sin_port = htons(port_);
    const ssize_t sent = ::sendto(fd_, datagram.data(), datagram.size(), 0,
                                  reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent < 0) ThrowErrno("sendto");
    if (static_cast<size_t>(sent) != datagram.size())
        throw std::system_error(EMSGSIZE, std::generic_category(), "sendto sent part");
}

std::optional<std::string> BroadcastSocket::Receive(Deadline deadline) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return std::nullopt;
        pollfd wait{fd_, POLLIN, 0};
        const int ready = ::poll(&wait, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno != EINTR) ThrowErrno("poll");
        if (ready <= 0) continue;
        char buffer[65536];
        const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
        if (got < 0) ThrowErrno("recv");
        return std::string(buffer, static_cast<size_t>(got));
    }
}

}  // namespace tolm::lab
