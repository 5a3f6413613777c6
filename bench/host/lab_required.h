// The bench host loads a library that broadcasts on the protocol's port, so
// it refuses to run, before loading anything, outside the lab.
#pragma once

namespace tolm::bench {

void RequireLabOrExit();

}  // namespace tolm::bench
