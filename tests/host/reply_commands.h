// The extensions that tell whose reply arrived and what was dropped:
//   reply       the oldest kept reply with its origin (the first call starts keeping them)
//   drops       the library's drop counts
//   drain       takes every queued answer and invalid-password entry: how many of
//               each, and how many distinct MACs answered
//   stop-twice  two Stops at once, one from another thread: both results
#pragma once

#include <string>
#include <vector>

#include "tolm_exports.h"

namespace tolm::host {

bool IsReplyCommand(const std::string& command);
std::string RunReplyCommand(const client::TolmExports& exports,
                            const std::vector<std::string>& words);

}  // namespace tolm::host
