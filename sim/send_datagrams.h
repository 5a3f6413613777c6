// The sending mode: the given datagrams from an ephemeral port, then exit.
#pragma once

#include "sim/command_line.h"

namespace tolm::sim {

// The exit status: 0 when every datagram went out, 1 otherwise. Throws
// SocketError when no socket can be opened.
int SendDatagrams(const Options& options);

}  // namespace tolm::sim
