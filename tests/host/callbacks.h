// The callbacks the host registers. The library calls them on its worker
// thread with its mutex held, so they only record and return, except the
// one that tests nesting by calling back into the library.
#pragma once

#include <cstdint>

#include "notify_log.h"
#include "tolm.h"
#include "tolm_exports.h"

namespace tolm::host {

NotifyLog& TheNotifyLog();

// Set before registering the callbacks that call into the library.
void SetCallbackExports(const client::TolmExports* exports);
void SetCallbackDelayMs(int delay_ms);

// Records the code.
void TOLM_CALLBACK RecordingCallback(int32_t code);
// Records the code, then takes (code 1) or peeks and removes (code 3)
// from inside the callback.
void TOLM_CALLBACK TakingCallback(int32_t code);
// Records the code, then stays inside for the set delay.
void TOLM_CALLBACK SlowCallback(int32_t code);
// Records the code, then calls TOLM_Stop from inside the callback.
void TOLM_CALLBACK StoppingCallback(int32_t code);

}  // namespace tolm::host
