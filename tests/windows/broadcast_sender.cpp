#include "broadcast_sender.h"

#include "tolm.h"

namespace tolm::windows_test {

BroadcastSender::BroadcastSender() {
    WSADATA data;
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (!started_) return;
    socket_ = socket(AF_INET, SOCK_DGRAM, 0);
    const BOOL on = TRUE;
    if (socket_ != INVALID_SOCKET &&
        setsockopt(socket_, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&on),
                   sizeof on) == SOCKET_ERROR) {
        closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
}

BroadcastSender::~BroadcastSender() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
    if (started_) WSACleanup();
}

bool BroadcastSender::Send(std::string_view bytes) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_BROADCAST);
    to.sin_port = htons(TOLM_PORT);
    const int sent = sendto(socket_, bytes.data(), static_cast<int>(bytes.size()), 0,
                            reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return sent == static_cast<int>(bytes.size());
}

}  // namespace tolm::windows_test
