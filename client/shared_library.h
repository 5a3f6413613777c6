// Loads a shared library by path and looks up its exports by name; one
// implementation per OS (dlopen or LoadLibraryA).
#pragma once

#include <string>

namespace tolm::client {

class SharedLibrary {
  public:
    SharedLibrary() = default;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    ~SharedLibrary() { Close(); }

    // False on failure, with the reason in LastError().
    bool Open(const std::string& path);
    // Null when the export is missing.
    void* Symbol(const char* name) const;
    // Unloads the library; the library closes its socket now. False when
    // nothing was loaded or the system could not unload it.
    bool Close();

    bool IsOpen() const { return handle_ != nullptr; }
    const std::string& LastError() const { return error_; }

  private:
    void* handle_ = nullptr;
    std::string error_;
};

}  // namespace tolm::client
