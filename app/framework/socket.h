// The sockets layer as the program uses it: start-up of Windows Sockets 1.1
// and CSocket, a blocking socket that sends datagrams.
#pragma once

#include <winsock2.h>

// Starts Windows Sockets asking for version 1.1 and accepting only that;
// the layer is shut down again when the program ends.
bool AfxSocketInit();

class CSocket {
  public:
    CSocket() = default;
    CSocket(const CSocket&) = delete;
    CSocket& operator=(const CSocket&) = delete;
    ~CSocket() { Close(); }

    // An IPv4 socket bound to `address` (any when null) and `port` (0: the
    // system picks one). No network-event notifications are delivered: the
    // program only sends.
    bool Create(UINT port = 0, int type = SOCK_STREAM, const char* address = nullptr);
    // Sends one datagram to the dotted IPv4 `host` at `port`; the bytes sent or SOCKET_ERROR.
    int SendTo(const void* data, int length, UINT port, const char* host, int flags = 0);
    void Close();

    SOCKET m_hSocket = INVALID_SOCKET;
};
