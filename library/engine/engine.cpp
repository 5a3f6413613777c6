#include "engine/engine.h"

#include <atomic>
#include <cstring>
#include <deque>
#include <new>

#include "platform/platform.h"
#include "protocol/messages.h"

namespace tolm::engine {
namespace {

constexpr unsigned kLockTimeoutMs = 1000;
// Room for the largest datagram the protocol allows plus a terminating NUL.
constexpr std::size_t kMaxDatagram = 1500;
// What may wait in the socket while the worker is busy. A scan answered by a
// thousand modules back-to-back lost answers below 512 KiB natively and below
// 1 MiB under Wine, whose worker is slower; 4 MiB leaves room for several
// thousand answers even if the worker read none during the burst.
constexpr int kSocketReceiveBuffer = 4 * 1024 * 1024;
// Datagrams read per hold of the mutex: under a flood the socket never runs
// dry, and a host call waiting for the mutex would otherwise time out. A host
// call waits for at most this many, a few milliseconds under Wine.
constexpr int kDatagramsPerPass = 32;
// How long the worker stands aside, at most, for host calls waiting between
// two passes; the mutex does not hand itself over on every platform.
constexpr int kYieldsForHosts = 1000;

struct QueuedResponse {
    TOLM_ModuleScanResponseType record;
    platform::Origin origin;
};

struct Engine {
    platform::Socket* socket = nullptr;
    // Guards the queues, the counts, the sends and every receive pass.
    platform::Mutex* mutex = nullptr;
    // Serialises Start and Stop; the worker never takes it.
    platform::Mutex* lifecycle = nullptr;
    platform::Waiter* waiter = nullptr;
    platform::Thread* worker = nullptr;
    std::atomic<bool> stop_requested{false};
    // The running worker's thread while it works, so that a Stop from inside
    // the callback is recognised; 0 before and after.
    std::atomic<std::uint64_t> worker_thread{0};
    std::atomic<TOLM_NotifyCallback> callback{nullptr};
    // Host calls waiting for the mutex.
    std::atomic<int> hosts_waiting{0};
    std::atomic<bool> keep_replies{false};
    platform::SocketError socket_error;
    std::deque<QueuedResponse> responses;
    std::deque<protocol::MacAddress> invalid_passwords;
    std::deque<Reply> replies;
    TOLM_DropCountsType dropped{};
    char receive_buffer[kMaxDatagram + 1];
};

// Made at load and freed at unload, never by static destructors, whose order
// against the unload hook is not defined.
Engine* g_engine = nullptr;

// Holds a mutex for one scope; Held() is false when the wait timed out. Host
// calls on the engine's mutex say that they wait, so that the worker lets
// them in between passes.
class Lock {
  public:
    enum class Waits { kAnnounced, kSilently };

    explicit Lock(platform::Mutex* mutex, Waits waits = Waits::kAnnounced) : mutex_(mutex) {
        if (waits == Waits::kAnnounced) ++g_engine->hosts_waiting;
        held_ = mutex != nullptr && platform::MutexLock(mutex, kLockTimeoutMs);
        if (waits == Waits::kAnnounced) --g_engine->hosts_waiting;
    }
    ~Lock() {
        if (held_) platform::MutexUnlock(mutex_);
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    bool Held() const { return held_; }

  private:
    platform::Mutex* mutex_;
    bool held_ = false;
};

void Notify(int32_t code) {
    if (TOLM_NotifyCallback callback = g_engine->callback.load()) callback(code);
}

void KeepReply(int32_t code, std::string_view text, const platform::Origin& origin) {
    if (!g_engine->keep_replies.load()) return;
    if (g_engine->replies.size() >= TOLM_MAX_QUEUED_REPLIES) {
        ++g_engine->dropped.dwReplies;
        return;
    }
    g_engine->replies.push_back({code, protocol::ReplyMac(text), origin});
}

void HandleDatagram(std::string_view text, const platform::Origin& origin) {
    Engine& e = *g_engine;
    switch (protocol::Classify(text)) {
        case protocol::DatagramKind::kReconfigured:
            KeepReply(TOLM_NOTIFY_RECONFIGURED, text, origin);
            Notify(TOLM_NOTIFY_RECONFIGURED);
            return;
        case protocol::DatagramKind::kInvalidPassword:
            KeepReply(TOLM_NOTIFY_INVALID_PASSWORD, text, origin);
            if (e.invalid_passwords.size() >= TOLM_MAX_QUEUED_INVALID_PASSWORDS) {
                ++e.dropped.dwInvalidPasswords;
                return;
            }
            e.invalid_passwords.push_back(protocol::ParseInvalidPassword(text));
            Notify(TOLM_NOTIFY_INVALID_PASSWORD);
            return;
        case protocol::DatagramKind::kScanRequest:
        case protocol::DatagramKind::kConfigureRequest:
            return;
        case protocol::DatagramKind::kScanResponse:
            if (e.responses.size() >= TOLM_MAX_QUEUED_RESPONSES) {
                ++e.dropped.dwResponses;
                return;
            }
            e.responses.push_back({protocol::ParseScanResponse(text), origin});
            Notify(TOLM_NOTIFY_RESPONSE);
            return;
    }
}

// Reads what waits, at most one pass's worth; runs on the worker with the
// mutex held. True when it stopped at the pass's end and more may wait.
bool ReceivePass() {
    for (int read = 0; read < kDatagramsPerPass; ++read) {
        if (g_engine->stop_requested.load()) return false;
        std::size_t length = 0;
        platform::Origin origin;
        const platform::ReceiveStatus status = platform::SocketReceive(
            g_engine->socket, g_engine->receive_buffer, kMaxDatagram, &length, &origin);
        if (status == platform::ReceiveStatus::kNothingWaiting) return false;
        if (status == platform::ReceiveStatus::kDropped) {
            ++g_engine->dropped.dwDatagrams;
            continue;
        }
        if (length == 0) continue;
        try {
            HandleDatagram(protocol::DatagramText(g_engine->receive_buffer, length), origin);
        } catch (const std::bad_alloc&) {
            // No room for the element: the datagram is lost, the engine goes on.
        }
    }
    return true;
}

// Between two passes: a host call that waits for the mutex gets it first.
void LetHostsIn() {
    for (int i = 0; i < kYieldsForHosts && g_engine->hosts_waiting.load() > 0 &&
                    !g_engine->stop_requested.load();
         ++i)
        platform::ThreadYield();
}

bool OnWorkerThread() {
    return g_engine->worker_thread.load() == platform::CurrentThreadId();
}

void WorkerThread(void*) {
    g_engine->worker_thread.store(platform::CurrentThreadId());
    while (!g_engine->stop_requested.load()) {
        platform::WaiterWait(g_engine->waiter);
        // A pass that could not get the mutex is retried at once: the wait
        // would not wake again for the datagrams already waiting.
        bool more = true;
        while (more && !g_engine->stop_requested.load()) {
            {
                Lock lock(g_engine->mutex, Lock::Waits::kSilently);
                if (!lock.Held()) continue;
                more = g_engine->socket != nullptr && ReceivePass();
            }
            if (more) LetHostsIn();
        }
    }
    g_engine->worker_thread.store(0);
}

void ClearQueues() {
    g_engine->responses.clear();
    g_engine->invalid_passwords.clear();
    g_engine->replies.clear();
}

// Finishes a worker asked to stop, then frees what it used and what is
// queued. The worker's own thread only lets go of it: it cannot wait for
// itself.
void ReapWorker(bool at_unload) {
    platform::WaiterWake(g_engine->waiter);
    if (platform::ThreadIsCurrent(g_engine->worker))
        platform::ThreadRelease(g_engine->worker);
    else if (at_unload)
        platform::ThreadFinishAtUnload(g_engine->worker);
    else
        platform::ThreadJoin(g_engine->worker);
    g_engine->worker = nullptr;
    platform::WaiterDestroy(g_engine->waiter);
    g_engine->waiter = nullptr;
    // With the worker gone only host threads contend; wait as long as it takes.
    if (g_engine->mutex == nullptr) return;
    while (!platform::MutexLock(g_engine->mutex, kLockTimeoutMs)) {
    }
    ClearQueues();
    platform::MutexUnlock(g_engine->mutex);
}

bool StopWorker(bool at_unload) {
    if (g_engine == nullptr || g_engine->lifecycle == nullptr) return true;
    // The worker cannot wait for itself: from inside the callback, Stop only
    // asks it to end once the callback returns; the next Stop, Start or
    // unload from another thread finishes it.
    if (OnWorkerThread()) {
        g_engine->stop_requested.store(true);
        return true;
    }
    Lock lifecycle(g_engine->lifecycle, Lock::Waits::kSilently);
    if (!lifecycle.Held()) return false;
    if (g_engine->worker == nullptr) return true;
    g_engine->stop_requested.store(true);
    ReapWorker(at_unload);
    return true;
}

}  // namespace

void OpenSocket() {
    // Runs inside the loader: a failed allocation leaves a library whose
    // calls return 0, never an exception out of the entry point.
    try {
        g_engine = new Engine;
    } catch (const std::bad_alloc&) {
        g_engine = nullptr;
        return;
    }
    g_engine->mutex = platform::MutexCreate();
    g_engine->lifecycle = platform::MutexCreate();
    g_engine->socket =
        platform::SocketOpen(TOLM_PORT, kSocketReceiveBuffer, &g_engine->socket_error);
}

void Unload() {
    if (g_engine == nullptr) return;
    // A worker that is still at work uses all of it: kept rather than freed
    // under it.
    if (!StopWorker(true) || g_engine->worker != nullptr) return;
    if (g_engine->socket != nullptr) platform::SocketClose(g_engine->socket);
    g_engine->socket = nullptr;
    platform::MutexDestroy(g_engine->lifecycle);
    platform::MutexDestroy(g_engine->mutex);
    delete g_engine;
    g_engine = nullptr;
}

int32_t Start() {
    if (g_engine == nullptr || OnWorkerThread()) return 0;
    Lock lifecycle(g_engine->lifecycle, Lock::Waits::kSilently);
    if (!lifecycle.Held()) return 0;
    // A worker that stopped itself from the callback is finished first.
    if (g_engine->worker != nullptr && g_engine->stop_requested.load()) ReapWorker(false);
    if (g_engine->worker != nullptr) return 0;
    {
        Lock lock(g_engine->mutex);
        if (lock.Held()) {
            ClearQueues();
            g_engine->dropped = {};
        }
    }
    g_engine->stop_requested.store(false);
    g_engine->waiter = platform::WaiterCreate(g_engine->socket);
    if (g_engine->waiter == nullptr) return 1;
    g_engine->worker = platform::ThreadStart(WorkerThread, nullptr);
    if (g_engine->worker == nullptr) {
        platform::WaiterDestroy(g_engine->waiter);
        g_engine->waiter = nullptr;
    }
    return 1;
}

bool Stop() {
    return StopWorker(false);
}

int32_t SendTo(std::string_view text, std::uint32_t address) {
    if (g_engine == nullptr || g_engine->socket == nullptr) return 0;
    Lock lock(g_engine->mutex);
    if (!lock.Held()) return 0;
    // The NUL travels with the text.
    return platform::SocketSendTo(g_engine->socket, address, TOLM_PORT, text.data(),
                                  text.size() + 1)
               ? 1
               : 0;
}

int32_t SendThrough(std::string_view text, const platform::Adapter& adapter) {
    if (g_engine == nullptr || g_engine->socket == nullptr) return 0;
    Lock lock(g_engine->mutex);
    if (!lock.Held()) return 0;
    return platform::SocketSendThrough(g_engine->socket, adapter, TOLM_PORT, text.data(),
                                       text.size() + 1)
               ? 1
               : 0;
}

int32_t SendScan() {
    return SendTo(protocol::kScanRequest, kLimitedBroadcast);
}

int32_t SendConfigure(const TOLM_ConfigureRequestType& request) {
    try {
        const std::optional<std::string> text = protocol::ComposeConfigureRequest(request);
        return text ? SendTo(*text, kLimitedBroadcast) : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

int32_t TakeResponse(TOLM_ModuleScanResponseType* response, platform::Origin* origin) {
    if (g_engine == nullptr) return 0;
    Lock lock(g_engine->mutex);
    if (!lock.Held() || g_engine->responses.empty()) return 0;
    const QueuedResponse& oldest = g_engine->responses.front();
    std::memcpy(response, &oldest.record, sizeof *response);
    if (origin != nullptr) *origin = oldest.origin;
    g_engine->responses.pop_front();
    return 1;
}

int32_t PeekInvalidPasswordMac(uint8_t* mac) {
    if (g_engine == nullptr) return 0;
    Lock lock(g_engine->mutex);
    if (!lock.Held() || g_engine->invalid_passwords.empty()) return 0;
    std::memcpy(mac, g_engine->invalid_passwords.front().data(), TOLM_MAC_SIZE);
    return 1;
}

int32_t RemoveFirstInvalidPasswordMac() {
    if (g_engine == nullptr) return 0;
    Lock lock(g_engine->mutex);
    if (!lock.Held() || g_engine->invalid_passwords.empty()) return 0;
    g_engine->invalid_passwords.pop_front();
    return 1;
}

TOLM_NotifyCallback RegisterCallback(TOLM_NotifyCallback callback) {
    if (g_engine == nullptr) return nullptr;
    g_engine->callback.store(callback);
    return callback;
}

int32_t TakeReply(Reply* reply) {
    if (g_engine == nullptr) return 0;
    g_engine->keep_replies.store(true);
    Lock lock(g_engine->mutex);
    if (!lock.Held() || g_engine->replies.empty()) return 0;
    *reply = g_engine->replies.front();
    g_engine->replies.pop_front();
    return 1;
}

int32_t DropCounts(TOLM_DropCountsType* counts) {
    if (g_engine == nullptr) return 0;
    Lock lock(g_engine->mutex);
    if (!lock.Held()) return 0;
    *counts = g_engine->dropped;
    return 1;
}

platform::SocketError SocketError() {
    if (g_engine == nullptr) return {platform::SocketStatus::kNoMemory, 0};
    return g_engine->socket_error;
}

}  // namespace tolm::engine
