// What the library's callback reported, in order; the callback runs on the
// library's worker thread, the checks on the main thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "tolm.h"

namespace tolm::windows_test {

// The callback to register; appends each code to the log.
void TOLM_CALLBACK RecordNotification(int32_t code);

// Waits until at least count codes were recorded or the time is up; returns
// every code recorded so far.
std::vector<int32_t> WaitForNotifications(std::size_t count, std::chrono::milliseconds limit);

}  // namespace tolm::windows_test
