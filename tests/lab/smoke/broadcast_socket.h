// The tool side's end of the lab: one UDP socket on the protocol's port that broadcasts and
// receives, every receive bounded by a deadline so that a broken lab fails instead of hanging.
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace tolm::lab {

class BroadcastSocket {
  public:
    using Deadline = std::chrono::steady_clock::time_point;

    // Binds every local address on `port` with SO_BROADCAST; throws std::system_error on failure.
    explicit BroadcastSocket(unsigned short port);
    ~BroadcastSocket();
    BroadcastSocket(const BroadcastSocket&) = delete;
    BroadcastSocket& operator=(const BroadcastSocket&) = delete;

    // Sends `datagram` byte for byte (a trailing NUL must be part of it) to 255.255.255.255.
    void Broadcast(const std::string& datagram);

    // The next datagram's bytes, or nothing once `deadline` has passed.
    std::optional<std::string> Receive(Deadline deadline);

  private:
    int fd_ = -1;
    unsigned short port_;
};

}  // namespace tolm::lab
