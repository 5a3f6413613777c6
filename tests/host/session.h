// One host session: the loaded library and the commands that drive it.
// Each command line gets exactly one reply line: the command's name and
// key=value pairs, or "error <reason>".
#pragma once

#include <string>
#include <vector>

#include "shared_library.h"
#include "tolm_exports.h"

namespace tolm::host {

class Session {
  public:
    explicit Session(std::string library_path) : library_path_(std::move(library_path)) {}

    using Args = std::vector<std::string>;

    // Loads the library and binds its exports; the reply to print. With
    // "fail-allocations" every allocation fails while the library loads.
    std::string Load(const Args& args = {});
    std::string Execute(const std::string& line);
    bool QuitRequested() const { return quit_; }

  private:
    std::string Unload();
    std::string Quit();
    std::string Callback(const Args& args);
    std::string Start();
    std::string Stop();
    std::string Configure(const Args& args);
    std::string Take(const Args& args);
    std::string Peek();
    std::string Remove();
    std::string Events() const;
    std::string WaitEvents(const Args& args) const;
    std::string InnerCalls() const;
    std::string Version(const Args& args);
    std::string SocketStatus();

    std::string library_path_;
    client::SharedLibrary library_;
    client::TolmExports exports_;
    bool running_ = false;
    bool quit_ = false;
};

// Blank-separated words; runs of blanks count as one.
std::vector<std::string> SplitWords(const std::string& line);

}  // namespace tolm::host
