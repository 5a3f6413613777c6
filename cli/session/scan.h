// One scan's collection: answers gathered until the scan's limits end it.
#pragma once

#include <functional>

#include "cli/session/module_list.h"
#include "cli/session/scan_timing.h"
#include "cli/session/tolm_session.h"

namespace tolm::linkora {

using StopWhen = std::function<bool(const ModuleList&)>;

// Sends a scan and adds what arrives to list until the limits end the scan
// or stop_when(list) holds; a progress line on stderr when it is a
// terminal. Returns the seconds the scan took.
double Scan(TolmSession& session, const ScanLimits& limits, ModuleList& list,
            const StopWhen& stop_when = nullptr);

// Hands every queued answer to use until the queue is empty (true), or
// until passes or Ctrl-C (false): a flood never holds a drain past its time.
bool TakeQueued(TolmSession& session, Clock::time_point until,
                const std::function<void(const Answer&)>& use);

}  // namespace tolm::linkora
