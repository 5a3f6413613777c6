#include "bound_exports.h"

#include <cstdio>

namespace tolm::bench {

namespace {

template <typename Function>
bool Bind(const host::SharedLibrary& library, const char* name, Function* function) {
    *function = reinterpret_cast<Function>(library.Symbol(name));
    if (*function == nullptr) std::fprintf(stderr, "tolm-bench-host: no export %s\n", name);
    return *function != nullptr;
}

}  // namespace

bool LoadAndBind(const std::string& path, host::SharedLibrary& library, BoundExports& exports) {
    if (!library.Open(path)) {
        std::fprintf(stderr, "tolm-bench-host: cannot load %s: %s\n", path.c_str(),
                     library.LastError().c_str());
        return false;
    }
    return Bind(library, "TOLM_Start", &exports.start) &&
           Bind(library, "TOLM_Stop", &exports.stop) &&
           Bind(library, "TOLM_SendModuleScan", &exports.send_module_scan) &&
           Bind(library, "TOLM_GetResponse", &exports.get_response) &&
           Bind(library, "TOLM_RegisterCallBack", &exports.register_callback);
}

}  // namespace tolm::bench
