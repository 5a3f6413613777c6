// Plays the modules' part: broadcasts datagrams to the protocol's port from
// a socket of its own, so the library under test receives them.
#pragma once

#include <winsock2.h>

#include <string_view>

namespace tolm::windows_test {

class BroadcastSender {
  public:
    BroadcastSender();
    ~BroadcastSender();
    BroadcastSender(const BroadcastSender&) = delete;
    BroadcastSender& operator=(const BroadcastSender&) = delete;

    bool Ready() const { return socket_ != INVALID_SOCKET; }
    // Sends the bytes as they are, without a NUL; true when all went out.
    bool Send(std::string_view bytes);

  private:
    bool started_ = false;
    SOCKET socket_ = INVALID_SOCKET;
};

}  // namespace tolm::windows_test
