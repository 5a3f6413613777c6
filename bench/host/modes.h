// The bench host's three measurements. Each runs with the library loaded and
// bound, prints its figures and returns the process exit status.
#pragma once

#include "options.h"
#include "tolm_exports.h"

namespace tolm::bench {

// Callback-to-stamp delay of answers sent by tolm-bench-stamper.
int MeasureLatency(const HostOptions& options, const client::TolmExports& exports);

// Records taken after one scan answered by many modules at once.
int MeasureBurst(const HostOptions& options, const client::TolmExports& exports);

// Wake-ups per second of the started engine with nothing arriving.
int MeasureIdle(const HostOptions& options, const client::TolmExports& exports);

}  // namespace tolm::bench
