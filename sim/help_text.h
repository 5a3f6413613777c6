#pragma once

namespace tolm::sim {

// What --help prints: every option, the protocol behaviour, the description
// file format and the exit statuses.
extern const char* const kHelpText;

}  // namespace tolm::sim
