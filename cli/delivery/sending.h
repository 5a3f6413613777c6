// The network side of a delivery: the requests sent, each module's own
// reply awaited (several at once where replies can still be told apart),
// then scans until every confirmed module reports its planned values.
#pragma once

#include <vector>

#include "cli/delivery/module_runs.h"
#include "cli/delivery/record.h"
#include "cli/session/scan_timing.h"
#include "cli/session/tolm_session.h"

namespace tolm::linkora {

// Sends the request of every run that would change, and ends each as
// confirmed, invalid-password, not-confirmed or (after Ctrl-C, or a send
// that failed) not-sent. After Ctrl-C no further request goes; those in
// flight are still waited for, up to confirm_wait, or until a second
// Ctrl-C. Returns whether Ctrl-C came.
bool Deliver(TolmSession& session, std::vector<ModuleRun>& runs, Milliseconds confirm_wait,
             DeliveryEvents& events);

// Scans until each confirmed run's module reports what it was sent, or
// verify_wait ends (or a second Ctrl-C): verified, not-verified or
// conflicting-answers; `after` of every sent run is its last answer seen.
// Each scan listens at least scan_wait (within verify_wait).
void VerifyAll(TolmSession& session, std::vector<ModuleRun>& runs, Milliseconds verify_wait,
               Milliseconds scan_wait);

}  // namespace tolm::linkora
