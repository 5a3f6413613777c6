#include <windows.h>

#include "shared_library.h"

namespace tolm::client {

namespace {

// The program keeps the sockets layer loaded for its own use, so unloading
// the library never unloads ws2_32. Loaders here do the same; under Wine,
// ws2_32 unloaded and loaded again on one thread keeps stale per-thread
// state, and the library's next socket then cannot bind.
void KeepSocketsLayerLoaded() {
    static const HMODULE sockets = LoadLibraryA("ws2_32.dll");
    (void)sockets;
}

}  // namespace

bool SharedLibrary::Open(const std::string& path) {
    Close();
    KeepSocketsLayerLoaded();
    handle_ = LoadLibraryA(path.c_str());
    if (handle_ == nullptr) {
        error_ = "LoadLibraryA failed with error " + std::to_string(GetLastError());
        return false;
    }
    return true;
}

void* SharedLibrary::Symbol(const char* name) const {
    if (handle_ == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

bool SharedLibrary::Close() {
    if (handle_ == nullptr) return false;
    const bool freed = FreeLibrary(static_cast<HMODULE>(handle_)) != FALSE;
    handle_ = nullptr;
    return freed;
}

}  // namespace tolm::client
