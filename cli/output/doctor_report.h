// doctor's findings as the user reads them: one line each with a summary,
// or JSON (docs/schemas/doctor.schema.json).
#pragma once

#include <string>
#include <vector>

#include "cli/doctor/finding.h"

namespace tolm::linkora {

struct DoctorReport {
    std::vector<doctor::Finding> findings;
    std::vector<std::string> adapters;  // scanned through
    std::size_t answered = 0;           // modules that answered the scan
    double seconds = 0;                 // of the whole run
};

// "error    port       linkora cannot listen ... -> close ...", then the summary.
std::string DoctorTableText(const DoctorReport& report);
std::string DoctorJsonText(const DoctorReport& report);

}  // namespace tolm::linkora
