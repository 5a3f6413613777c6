// The driver's side of tolm-host: launches it (natively or under Wine),
// sends one command at a time and parses the reply line into key=value
// fields. Failures throw, so a test fails instead of hanging.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"

namespace tolm::labtest {

// How to start the host; set once from the driver's command line.
struct HostLaunch {
    std::vector<std::string> argv;
    Milliseconds start_timeout{10000};
    Milliseconds command_timeout{10000};
};
void SetHostLaunch(HostLaunch launch);

struct Reply {
    std::string line;
    std::string name;
    std::map<std::string, std::string> fields;

    // Throws when the reply lacks the key.
    const std::string& operator[](const std::string& key) const;
    long long Number(const std::string& key) const;
};

Reply ParseReply(const std::string& line);

class Host {
  public:
    // Starts a host and waits for its "ready" line.
    Host();

    // One command, one reply; throws on "error ..." or a time-out.
    Reply Run(const std::string& command);
    Reply Run(const std::string& command, Milliseconds timeout);

    // Polls "take" until a record comes or the time is up.
    Reply TakeWithin(Milliseconds timeout);
    // The codes received so far, e.g. "1,1,2".
    std::string Codes();

    // "quit", then the host's exit status: not 0 when it crashed or a
    // sanitizer found a fault at exit.
    int Quit();

  private:
    std::unique_ptr<ChildProcess> process_;
};

}  // namespace tolm::labtest
