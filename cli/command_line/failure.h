// linkora's exit codes and the error that carries one to main.
#pragma once

#include <stdexcept>
#include <string>

namespace tolm::linkora {

enum ExitCode {
    kSuccess = 0,
    kFailed = 1,             // anything not below, e.g. the library cannot be loaded
    kUsage = 2,              // bad command line or input
    kRefusedOutsideLab = 3,  // development builds only, from the lab guard
    kCannotSend = 4,         // the socket cannot be used (port taken, ...) or a send failed
    kNotFound = 5,           // the module did not answer; fewer than --expect modules
    kInvalidPassword = 6,    // the module refused the password
    kNoConfirmation = 7,     // no answer to the configure request in time
    kNotVerified = 8,        // the module does not report what was set
    kConflict = 9,           // two or more senders answer as the module's MAC, or disagree
    kFindings = 10,          // check found something; apply refused the plan, nothing sent
    kNotAsPlanned = 11,      // apply: some planned modules did not end as planned
};

class Failure : public std::runtime_error {
  public:
    Failure(ExitCode code, const std::string& message) : std::runtime_error(message), code_(code) {}
    ExitCode Code() const { return code_; }

  private:
    ExitCode code_;
};

}  // namespace tolm::linkora
