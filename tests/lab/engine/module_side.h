// The module side of the lab: raw datagrams sent from the module namespace
// by the simulator's --send mode, and the simulator's log of what reached it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"

namespace tolm::labtest {

// Broadcasts the datagrams in order from the module side, byte for byte
// (no NUL added). Throws when the simulator reports a failure.
void SendFromModules(const std::vector<std::string>& datagrams);
// The same with the simulator's own send options ("--send-size", "1501"); a
// flood may need longer than the default 10 s under a sanitizer.
void SendOptionsFromModules(const std::vector<std::string>& options,
                            Milliseconds timeout = Milliseconds(10000));

// A scan response that carries only a MAC and a host name.
std::string ResponseText(const std::string& mac, const std::string& host_name);

// The simulator's datagram log, read from the point where it was opened.
class SimLog {
  public:
    SimLog();
    // The lines logged since this object was made.
    std::vector<std::string> NewLines() const;
    // Waits for a new line that starts with prefix; nullopt on time-out.
    std::optional<std::string> WaitForLine(const std::string& prefix, Milliseconds timeout) const;

  private:
    std::string path_;
    std::size_t start_ = 0;
};

// Reads a required lab variable; throws outside the lab.
std::string LabVariable(const char* name);

}  // namespace tolm::labtest
