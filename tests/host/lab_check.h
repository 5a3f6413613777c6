// The host broadcasts on the protocol's port, so it runs only inside the
// lab; outside it exits with status 3 before loading the library.
#pragma once

namespace tolm::host {

void RequireLabOrExit();

}  // namespace tolm::host
