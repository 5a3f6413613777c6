// tolm-bench-host: loads the library by path and runs one measurement on it.
// Built natively and with mingw, so the same measurements run tolm.dll under
// Wine.
#include <cstdio>
#include <string>

#include "lab_guard.h"
#include "modes.h"
#include "options.h"
#include "shared_library.h"
#include "tolm_exports.h"

int main(int argc, char** argv) {
    std::string error;
    const auto options = tolm::bench::ParseHostOptions(argc, argv, &error);
    if (!options) {
        std::fprintf(stderr, "tolm-bench-host: %s\n%s", error.c_str(), tolm::bench::kHostUsage);
        return 2;
    }
    // The library broadcasts as soon as it loads: refuse first, outside the lab.
    tolm::lab::RequireLab("tolm-bench-host");
    tolm::client::SharedLibrary library;
    tolm::client::TolmExports exports;
    const std::string failure = tolm::client::LoadTolm(options->library, library, exports);
    if (!failure.empty()) {
        std::fprintf(stderr, "tolm-bench-host: %s\n", failure.c_str());
        return 1;
    }
    switch (options->mode) {
        case tolm::bench::Mode::kLatency:
            return tolm::bench::MeasureLatency(*options, exports);
        case tolm::bench::Mode::kBurst:
            return tolm::bench::MeasureBurst(*options, exports);
        case tolm::bench::Mode::kIdle:
            return tolm::bench::MeasureIdle(*options, exports);
    }
    return 2;
}
