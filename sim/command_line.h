// The command line: which mode to run and with what.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "fleet.h"
#include "module.h"

namespace tolm::sim {

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class Mode { kServe, kSend, kCheckConfig, kPrintResponses, kHelp };

struct Options {
    Mode mode = Mode::kServe;
    FleetDefaults defaults;
    std::size_t module_count = 1;
    std::string config_path;
    unsigned delay_max_ms = 0;
    std::uint32_t seed = 1;
    double loss = 0;  // share of the answers to scans that are lost
    bool burst = false;
    // Each module sends from its own IP address, as a real module does.
    bool own_addresses = false;
    // 0: every module answers as soon as its delay is over.
    unsigned answers_per_second = 0;
    // Module 1 comes up this long after the start, each next one up_every_ms
    // later: modules powered up one at a time, as technicians do.
    unsigned up_after_ms = 0;
    unsigned up_every_ms = 0;
    std::string log_path;
    std::string ready_path;
    std::vector<std::string> datagrams;
    unsigned repeat = 1;
    unsigned interval_us = 0;
    unsigned rate = 0;  // datagrams a second, paced by the clock; 0: as fast as they go
};

// Accepts "--flag value" and "--flag=value". Throws UsageError.
Options ParseCommandLine(int argc, const char* const* argv);

// The modules of a description file or the generated ones. Throws
// DescriptionError or std::invalid_argument.
std::vector<Module> BuildModules(const Options& options);

}  // namespace tolm::sim
