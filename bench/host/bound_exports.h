// The library exports the benchmarks drive, bound by name from the loaded
// library as the program binds them.
#pragma once

#include <string>

#include "shared_library.h"
#include "tolm.h"

namespace tolm::bench {

struct BoundExports {
    TOLM_StartFn start = nullptr;
    TOLM_StopFn stop = nullptr;
    TOLM_SendModuleScanFn send_module_scan = nullptr;
    TOLM_GetResponseFn get_response = nullptr;
    TOLM_RegisterCallBackFn register_callback = nullptr;
};

// Loads the library (its socket opens now) and binds the exports; on failure
// prints why on stderr and returns false.
bool LoadAndBind(const std::string& path, host::SharedLibrary& library, BoundExports& exports);

}  // namespace tolm::bench
