// Whether a module reports what was set: one line per value that differs.
#pragma once

#include <string>
#include <vector>

#include "client/configure_request.h"
#include "tolm.h"

namespace tolm::linkora {

std::vector<std::string> Mismatches(const client::ConfigureChanges& changes,
                                    const TOLM_ModuleScanResponseType& module);

}  // namespace tolm::linkora
