#include "udp_socket.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tolm::sim {
namespace {

// Room for a burst of answers from many modules, and for their echoes.
constexpr int kBufferBytes = 4 << 20;

std::string Failed(const char* step) {
    return std::string(step) + ": " + std::strerror(errno);
}

void SetBuffer(int fd, int force_option, int option) {
    // Forcing passes the system's cap where we are allowed to; else take what we get.
    if (setsockopt(fd, SOL_SOCKET, force_option, &kBufferBytes, sizeof kBufferBytes) != 0)
        setsockopt(fd, SOL_SOCKET, option, &kBufferBytes, sizeof kBufferBytes);
}

}  // namespace

UdpSocket::UdpSocket(std::uint16_t port) {
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) throw SocketError(Failed("socket"));
    const int on = 1;
    if (setsockopt(fd_, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0) {
        const std::string error = Failed("SO_BROADCAST");
        close(fd_);
        throw SocketError(error);
    }
    SetBuffer(fd_, SO_RCVBUFFORCE, SO_RCVBUF);
    SetBuffer(fd_, SO_SNDBUFFORCE, SO_SNDBUF);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    address.sin_port = htons(port);
    if (bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        const std::string error = Failed(("bind to port " + std::to_string(port)).c_str());
        close(fd_);
        throw SocketError(error);
    }
}

UdpSocket::~UdpSocket() {
    close(fd_);
}

bool UdpSocket::SendBroadcast(std::string_view datagram, std::string* error) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    to.sin_port = htons(kProtocolPort);
    const ssize_t sent = sendto(fd_, datagram.data(), datagram.size(), 0,
                                reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent == static_cast<ssize_t>(datagram.size())) return true;
    if (error != nullptr) *error = sent < 0 ? Failed("sendto") : "sendto: datagram cut short";
    return false;
}

void UdpSocket::AllowForeignSources() {
    const int on = 1;
    if (setsockopt(fd_, SOL_IP, IP_TRANSPARENT, &on, sizeof on) != 0)
        throw SocketError(
            Failed("IP_TRANSPARENT (answering from each module's own address needs "
                   "CAP_NET_ADMIN)"));
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) throw SocketError(Failed("getifaddrs"));
    for (const ifaddrs* entry = list; entry != nullptr && link_index_ == 0; entry = entry->ifa_next)
        if (entry->ifa_addr != nullptr && entry->ifa_addr->sa_family == AF_INET &&
            !(entry->ifa_flags & IFF_LOOPBACK))
            link_index_ = if_nametoindex(entry->ifa_name);
    freeifaddrs(list);
    if (link_index_ == 0) throw SocketError("no IPv4 link to answer on");
}

bool UdpSocket::SendBroadcastFrom(std::string_view datagram, std::uint32_t source,
                                  std::string* error) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    to.sin_port = htons(kProtocolPort);
    iovec payload{const_cast<char*>(datagram.data()), datagram.size()};
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
    // The link is named: a limited broadcast from a foreign source finds no route otherwise.
    in_pktinfo info{};
    info.ipi_ifindex = static_cast<int>(link_index_);
    info.ipi_spec_dst.s_addr = htonl(source);
    std::memcpy(CMSG_DATA(header), &info, sizeof info);
    const ssize_t sent = sendmsg(fd_, &message, 0);
    if (sent == static_cast<ssize_t>(datagram.size())) return true;
    if (error != nullptr) *error = sent < 0 ? Failed("sendmsg") : "sendmsg: datagram cut short";
    return false;
}

ReceiveResult UdpSocket::Receive(char* buffer, std::size_t capacity, std::size_t* length,
                                 Sender* sender) {
    while (true) {
        sockaddr_in from{};
        socklen_t from_length = sizeof from;
        const ssize_t received = recvfrom(fd_, buffer, capacity, MSG_DONTWAIT | MSG_TRUNC,
                                          reinterpret_cast<sockaddr*>(&from), &from_length);
        if (received >= 0) {
            *length = static_cast<std::size_t>(received);
            sender->address = ntohl(from.sin_addr.s_addr);
            sender->port = ntohs(from.sin_port);
            return ReceiveResult::kDatagram;
        }
        // Errors that earlier sends left queued (ICMP) are consumed by the call; go on.
        const bool transient = errno == EINTR || errno == ECONNREFUSED || errno == EHOSTUNREACH ||
                               errno == ENETUNREACH;
        if (!transient) return ReceiveResult::kNothingWaiting;
    }
}

std::set<std::uint32_t> LocalAddresses() {
    std::set<std::uint32_t> addresses;
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0) return addresses;
    for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
        if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET) continue;
        const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ifa_addr);
        addresses.insert(ntohl(address->sin_addr.s_addr));
    }
    freeifaddrs(list);
    return addresses;
}

}  // namespace tolm::sim
