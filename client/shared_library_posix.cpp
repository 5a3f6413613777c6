#include <dlfcn.h>

#include "shared_library.h"

namespace tolm::client {

bool SharedLibrary::Open(const std::string& path) {
    Close();
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* why = dlerror();
        error_ = why != nullptr ? why : "dlopen failed";
        return false;
    }
    return true;
}

void* SharedLibrary::Symbol(const char* name) const {
    return handle_ != nullptr ? dlsym(handle_, name) : nullptr;
}

bool SharedLibrary::Close() {
    if (handle_ == nullptr) return false;
    const bool closed = dlclose(handle_) == 0;
    handle_ = nullptr;
    return closed;
}

}  // namespace tolm::client
