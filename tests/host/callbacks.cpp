#include "callbacks.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "record_format.h"
#include "record_text.h"

namespace tolm::host {

namespace {

std::atomic<const client::TolmExports*> g_exports{nullptr};
std::atomic<int> g_delayMs{0};

// Nothing may escape into the library's worker thread.
template <typename Body>
void Guarded(int32_t code, Body body) {
    NotifyLog& log = TheNotifyLog();
    try {
        log.Enter();
        log.Record(code);
        body();
    } catch (...) {
    }
    log.Leave();
}

std::string TakeInside(const client::TolmExports& exports) {
    TOLM_ModuleScanResponseType response;
    const int32_t taken = exports.get_response(&response);
    return "take:" + std::to_string(taken) + ":" +
           (taken ? client::MacText(response.abMacId) : "-");
}

std::string PeekAndRemoveInside(const client::TolmExports& exports) {
    uint8_t mac[TOLM_MAC_SIZE] = {};
    const int32_t peeked = exports.get_inv_pswd_mac_id(mac);
    const int32_t removed = exports.remove_first_inv_pswd_mac_id();
    return "peek:" + std::to_string(peeked) + ":" + (peeked ? client::MacText(mac) : "-") +
           "+remove:" + std::to_string(removed);
}

}  // namespace

NotifyLog& TheNotifyLog() {
    static NotifyLog log;
    return log;
}

void SetCallbackExports(const client::TolmExports* exports) {
    g_exports.store(exports);
}
void SetCallbackDelayMs(int delay_ms) {
    g_delayMs.store(delay_ms);
}

void TOLM_CALLBACK RecordingCallback(int32_t code) {
    Guarded(code, [] {});
}

void TOLM_CALLBACK TakingCallback(int32_t code) {
    Guarded(code, [code] {
        const client::TolmExports* exports = g_exports.load();
        if (exports == nullptr) return;
        std::string entry = "none";
        if (code == TOLM_NOTIFY_RESPONSE) entry = TakeInside(*exports);
        if (code == TOLM_NOTIFY_INVALID_PASSWORD) entry = PeekAndRemoveInside(*exports);
        TheNotifyLog().AddInnerCall(entry);
    });
}

void TOLM_CALLBACK StoppingCallback(int32_t code) {
    Guarded(code, [] {
        const client::TolmExports* exports = g_exports.load();
        if (exports == nullptr) return;
        TheNotifyLog().AddInnerCall("stop:" + std::to_string(exports->stop()));
        std::this_thread::sleep_for(std::chrono::milliseconds(g_delayMs.load()));
    });
}

void TOLM_CALLBACK SlowCallback(int32_t code) {
    Guarded(code, [] { std::this_thread::sleep_for(std::chrono::milliseconds(g_delayMs.load())); });
}

}  // namespace tolm::host
