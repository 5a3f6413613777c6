// A range for a line of modules: the addresses FIRST, FIRST+1, ... (up to
// LAST) and host names made from a pattern counted up ("press_{n}",
// "press_{n:02}" from --start), with the settings every module gets alike.
// `plan` writes a plan from it, `assign` gives it out as modules appear.
#pragma once

#include <CLI/CLI.hpp>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/plan/module_settings.h"

namespace tolm::linkora {

struct RangeOptions {
    std::optional<std::string> first, last;  // --ip, --ip-last
    std::optional<std::string> host_name;    // --hostname: the pattern
    unsigned start = 1;                      // --start: the first {n}
    std::optional<std::string> mask, gateway, dns1, dns2, dhcp;
};

// --ip, --ip-last, --hostname, --start, --mask, --gateway, --dns1, --dns2, --dhcp.
void AddRangeOptions(CLI::App* command, RangeOptions& options);

class Numbering {
  public:
    // Reads and checks the options: a usage failure naming what is wrong
    // (an address, LAST before FIRST, a pattern that breaks the host-name
    // rule).
    explicit Numbering(const RangeOptions& options);

    // How many modules the range numbers; none when it has no end.
    std::optional<std::size_t> Size() const { return size_; }
    // The n-th module's settings, from 0.
    ModuleSettings Settings(std::size_t n) const;
    // "10.77.0.201 to 10.77.0.220, host names press_01 to press_20".
    std::string Text() const;

  private:
    struct Piece {
        std::string literal;
        std::optional<int> width;  // a counter: at least this many digits, 0-padded
    };
    std::string HostName(std::size_t n) const;

    ModuleSettings alike_;
    std::optional<std::uint32_t> first_;
    std::optional<std::size_t> size_;
    std::vector<Piece> pattern_;  // empty: host names left as they are
    unsigned start_ = 1;
};

}  // namespace tolm::linkora
