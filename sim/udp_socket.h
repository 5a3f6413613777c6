// The simulator's UDP socket: IPv4, broadcasting on, every send to
// 255.255.255.255 on the protocol's port.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tolm::sim {

inline constexpr std::uint16_t kProtocolPort = 3250;

class SocketError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Sender {
    std::uint32_t address = 0;  // host byte order
    std::uint16_t port = 0;
};

enum class ReceiveResult { kDatagram, kNothingWaiting };

class UdpSocket {
  public:
    // Bound to INADDR_ANY on port; port 0 picks an ephemeral one. Throws
    // SocketError naming the step that failed.
    explicit UdpSocket(std::uint16_t port);
    ~UdpSocket();
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    int fd() const { return fd_; }

    // Sends one datagram to 255.255.255.255 on the protocol's port; on
    // failure returns the reason.
    bool SendBroadcast(std::string_view datagram, std::string* error = nullptr);

    // From here on SendBroadcastFrom may send from an address this host does
    // not have (IP_TRANSPARENT, which needs CAP_NET_ADMIN), out of the link
    // that holds this host's first IPv4 address. Throws SocketError.
    void AllowForeignSources();
    // The broadcast with `source` as its sender, as a module with that
    // address would send it.
    bool SendBroadcastFrom(std::string_view datagram, std::uint32_t source,
                           std::string* error = nullptr);

    // Never blocks. A datagram longer than capacity is cut to it; *length
    // then still tells its full length.
    ReceiveResult Receive(char* buffer, std::size_t capacity, std::size_t* length, Sender* sender);

  private:
    int fd_ = -1;
    unsigned link_index_ = 0;
};

// This host's IPv4 addresses (host byte order): a datagram from one of them
// on the protocol's port is our own broadcast coming back.
std::set<std::uint32_t> LocalAddresses();

}  // namespace tolm::sim
