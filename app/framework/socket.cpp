#include "framework/socket.h"

namespace {

struct SocketLayer {
    bool started = false;
    ~SocketLayer() {
        if (started) ::WSACleanup();
    }
};

sockaddr_in Ipv4(const char* address, UINT port) {
    sockaddr_in endpoint{};
    endpoint.sin_family = AF_INET;
    endpoint.sin_port = ::htons(static_cast<u_short>(port));
    endpoint.sin_addr.s_addr = address != nullptr ? ::inet_addr(address) : INADDR_ANY;
    return endpoint;
}

}  // namespace

bool AfxSocketInit() {
    static SocketLayer layer;
    if (layer.started) return true;
    WSADATA data;
    if (::WSAStartup(MAKEWORD(1, 1), &data) != 0) return false;
    if (data.wVersion != MAKEWORD(1, 1)) {
        ::WSACleanup();
        return false;
    }
    layer.started = true;
    return true;
}

bool CSocket::Create(UINT port, int type, const char* address) {
    Close();
    m_hSocket = ::socket(AF_INET, type, 0);
    if (m_hSocket == INVALID_SOCKET) return false;
    const sockaddr_in local = Ipv4(address, port);
    if (::bind(m_hSocket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        Close();
        return false;
    }
    return true;
}

int CSocket::SendTo(const void* data, int length, UINT port, const char* host, int flags) {
    const sockaddr_in remote = Ipv4(host, port);
    if (remote.sin_addr.s_addr == INADDR_NONE) return SOCKET_ERROR;
    return ::sendto(m_hSocket, static_cast<const char*>(data), length, flags,
                    reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
}

void CSocket::Close() {
    if (m_hSocket != INVALID_SOCKET) ::closesocket(m_hSocket);
    m_hSocket = INVALID_SOCKET;
}
