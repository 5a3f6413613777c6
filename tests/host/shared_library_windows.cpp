#include <windows.h>

#include "shared_library.h"

namespace tolm::host {

bool SharedLibrary::Open(const std::string& path) {
    Close();
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

void SharedLibrary::Close() {
    if (handle_ == nullptr) return;
    FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
}

}  // namespace tolm::host
