// doctor's own scan, judged: how many modules answered through each adapter,
// answers from outside the adapter's subnet, duplicate addresses, conflicting
// answers, modules that answered in some rounds only (a lossy link), and the
// datagrams the library or the kernel dropped.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/doctor/finding.h"
#include "cli/session/module_list.h"
#include "tolm_ext.h"

namespace tolm::linkora::doctor {

// Counts of datagrams the kernel dropped, for the difference over a scan.
struct KernelDrops {
    std::uint64_t receive_buffer = 0;  // a full socket receive buffer
    std::uint64_t errors = 0;          // UDP input errors of any kind
    std::uint64_t reverse_path = 0;    // reverse-path filtering (Linux)
};

struct ScanDrops {
    std::uint32_t library = 0;          // answers the library had no room for
    std::uint64_t socket = 0;           // dropped for linkora's socket (Linux)
    std::optional<KernelDrops> kernel;  // over the scan; none when it cannot be read
    std::string kernel_problem;
};

// rounds: every answer of each round of the scan, as it arrived.
std::vector<Finding> ScanFindings(const std::vector<TOLM_AdapterType>& adapters,
                                  const std::vector<std::vector<Answer>>& rounds,
                                  const ScanDrops& drops);

// "sim_1 at 10.77.0.101" or "02-00-00-00-00-01 at 10.77.0.101".
std::string ModuleText(const Answer& answer);

}  // namespace tolm::linkora::doctor
