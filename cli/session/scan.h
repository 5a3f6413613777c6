// One scan's collection: answers gathered until the scan's limits end it.
#pragma once

#include <functional>

#include "cli/session/module_list.h"
#include "cli/session/scan_timing.h"
#include "cli/session/tolm_session.h"

namespace tolm::linkora {

using StopWhen = std::function<bool(const ModuleList&)>;

// Sends a scan and adds what arrives to list until the limits end the scan,
// stop_when(list) holds or that many Ctrl-Cs came; a progress line on stderr
// when it is a terminal. Returns the seconds the scan took.
double Scan(TolmSession& session, const ScanLimits& limits, ModuleList& list,
            const StopWhen& stop_when = nullptr, int interrupts_to_stop = 1);

// Hands every queued answer to use until the queue is empty (true), or
// until passes or that many Ctrl-Cs came (false): a flood never holds a
// drain past its time.
bool TakeQueued(TolmSession& session, Clock::time_point until,
                const std::function<void(const Answer&)>& use, int interrupts_to_stop = 1);

}  // namespace tolm::linkora
