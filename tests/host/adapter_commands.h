// tolm-host's commands for the adapter extensions:
//   adapters                        name:address/mask/broadcast:index,... of each adapter
//   scan-via NAME|all               the scan through one adapter or all
//   configure-via NAME|all FIELDS   a configure request likewise (fields as for configure)
//   take-origin                     take with the adapter and sender of the answer
#pragma once

#include <string>
#include <vector>

#include "tolm_exports.h"

namespace tolm::host {

// The reply line of one of the commands above; words[0] is the command.
// An error reply when the library lacks the extension.
std::string RunAdapterCommand(const client::TolmExports& exports,
                              const std::vector<std::string>& words);

bool IsAdapterCommand(const std::string& command);

}  // namespace tolm::host
