// The adapters linkora sends through, as the user reads them: a table or JSON.
#pragma once

#include <string>
#include <vector>

#include "tolm_ext.h"

namespace tolm::linkora {

std::string AdaptersTable(const std::vector<TOLM_AdapterType>& adapters);
std::string AdaptersJson(const std::vector<TOLM_AdapterType>& adapters);

}  // namespace tolm::linkora
