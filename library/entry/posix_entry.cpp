// Loading the shared library opens the socket; unloading closes it, like the
// Windows entry point does for tolm.dll.
#include "engine/engine.h"

namespace {

__attribute__((constructor)) void OnLoad() {
    tolm::engine::OpenSocket();
}

__attribute__((destructor)) void OnUnload() {
    tolm::engine::Unload();
}

}  // namespace
