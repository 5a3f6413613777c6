// What the GUI tests that run the main window use of their surroundings: the
// stand-in libraries beside the test program, the lab's simulator log, the
// protocol's port, and datagrams from another tool on the network.
#pragma once

#include <winsock2.h>

#include <string>
#include <string_view>
#include <vector>

#include "broadcast_sender.h"

namespace gui_test {

// Makes binding\`variant`\tolm.dll the library "tolm.dll" finds: real (the
// project's), missing (none) or one of the stand-ins with other versions.
void UseLibraryFolder(const std::string& variant);

// Lines of the first simulator's datagram log that begin with `prefix`: the
// datagrams it received, printable bytes as they are, others as \xNN.
std::vector<std::string> SimulatorLogLines(std::string_view prefix);
int SimulatorLogCount(std::string_view prefix);
// The scans the simulated modules have received.
int ScansReceived();
// The datagrams this network namespace dropped because a socket's receive
// buffer was full (its UDP RcvbufErrors); -1 when that cannot be read.
long UdpDatagramsDropped();

// "02-00-00-00-00-0N": the MAC of simulated module N, as the list shows it.
std::string ModuleMac(int number);

// Holds UDP port 3250 while it lives, as another program would.
class PortHolder {
  public:
    PortHolder();
    ~PortHolder();
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;
    bool Holding() const { return m_holding; }

  private:
    SOCKET m_socket = INVALID_SOCKET;
    bool m_started = false;
    bool m_holding = false;
};

// Another tool on the network: its datagrams, each with its NUL.
class OtherTool {
  public:
    bool Ready() const { return m_sender.Ready(); }
    // A scan answer of a module with only these fields: "mac = ..;ip = ..;".
    bool Answer(const std::string& mac, const std::string& ip);
    // "Configure: MAC;" and the pieces, as any tool may send it.
    bool Configure(const std::string& mac, const std::string& pieces);
    // The reply a module gives a configure request with a wrong password.
    bool InvalidPassword(const std::string& mac);
    // The reply a module gives a configure request it took.
    bool Reconfigured(const std::string& mac);

  private:
    tolm::windows_test::BroadcastSender m_sender;
};

}  // namespace gui_test
