// The socket loop of the serving mode: receive, log, hand to the responder,
// send what it answers, when it is due.
#pragma once

#include <string>
#include <vector>

#include "module.h"
#include "sim/command_line.h"

namespace tolm::sim {

// Runs until SIGTERM or SIGINT; the exit status. Throws SocketError when the
// socket cannot be opened.
int Serve(const Options& options, std::vector<Module> modules);

}  // namespace tolm::sim
