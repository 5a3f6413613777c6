#include "cli/session/tolm_session.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "cli/command_line/failure.h"
#include "record_text.h"
#include "shipped_guard.h"

namespace tolm::linkora {
namespace {

// What the library's worker thread tells the main thread.
struct Notifications {
    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t count = 0;
    int reconfigured = 0;
};

Notifications& TheNotifications() {
    static Notifications notifications;
    return notifications;
}

// Runs on the library's worker thread: counts and wakes, never throws.
void TOLM_CALLBACK OnNotify(int32_t code) {
    try {
        Notifications& n = TheNotifications();
        {
            std::lock_guard<std::mutex> lock(n.mutex);
            ++n.count;
            if (code == TOLM_NOTIFY_RECONFIGURED) ++n.reconfigured;
        }
        n.changed.notify_all();
    } catch (...) {
    }
}

std::string SocketProblem(int32_t status, int32_t os_error) {
    const std::string code = " (OS error " + std::to_string(os_error) + ")";
    switch (status) {
        case TOLM_SOCKET_PORT_IN_USE:
            return "UDP port 3250 is taken by another program; close the other tool and try again";
        case TOLM_SOCKET_ACCESS_DENIED:
            return "not allowed to use UDP port 3250 or to broadcast" + code;
        case TOLM_SOCKET_NO_NETWORK:
            return "no IPv4 network is available" + code;
        case TOLM_SOCKET_NO_MEMORY:
            return "the library ran out of memory while loading";
        default:
            return "the library could not open its socket" + code;
    }
}

}  // namespace

TolmSession::TolmSession(const std::string& library_path, const std::string& adapter) {
    // The library opens its socket while it loads.
    tolm::lab::RequireLabInDevelopmentBuild("linkora");
    const std::string failure = client::LoadTolm(library_path, library_, tolm_);
    if (!failure.empty()) throw Failure(kFailed, failure);
    CheckSocket();
    ChooseAdapters(adapter);
    tolm_.register_callback(OnNotify);
    tolm_.start();
    // Replies are kept from the first ask on: from the start, so none is missed.
    if (tolm_.get_reply_with_origin != nullptr) {
        TOLM_ReplyType reply;
        while (tolm_.get_reply_with_origin(&reply) != 0) {
        }
    }
}

TolmSession::~TolmSession() {
    tolm_.stop();
    tolm_.register_callback(nullptr);
    library_.Close();
}

void TolmSession::CheckSocket() const {
    if (tolm_.get_socket_status == nullptr) return;
    int32_t os_error = 0;
    const int32_t status = tolm_.get_socket_status(&os_error);
    if (status != TOLM_SOCKET_OK) throw Failure(kCannotSend, SocketProblem(status, os_error));
}

void TolmSession::ChooseAdapters(const std::string& adapter) {
    one_adapter_ = !adapter.empty();
    if (tolm_.get_adapters == nullptr || tolm_.send_module_scan_via == nullptr) {
        if (one_adapter_)
            throw Failure(kFailed, "this library cannot send through a chosen adapter");
        return;
    }
    std::vector<TOLM_AdapterType> all(16);
    int32_t count = tolm_.get_adapters(all.data(), static_cast<int32_t>(all.size()));
    if (count > static_cast<int32_t>(all.size())) {
        all.resize(static_cast<std::size_t>(count));
        count = tolm_.get_adapters(all.data(), count);
    }
    all.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
    std::string names;
    for (const TOLM_AdapterType& a : all) {
        names += (names.empty() ? "" : ", ") + client::FieldText(a.szName);
        own_addresses_.push_back(a.dwAddress);
        if (!one_adapter_ || client::FieldText(a.szName) == adapter) adapters_.push_back(a);
    }
    if (one_adapter_ && adapters_.empty())
        throw Failure(kUsage, "no adapter \"" + adapter +
                                  "\" that is up with an IPv4 broadcast address; there are: " +
                                  (names.empty() ? "none" : names));
}

std::vector<std::string> TolmSession::AdapterNames() const {
    std::vector<std::string> names;
    for (const TOLM_AdapterType& a : adapters_) names.push_back(client::FieldText(a.szName));
    return names;
}

void TolmSession::SendScan() {
    int32_t sent = 0;
    if (one_adapter_)
        sent = tolm_.send_module_scan_via(adapters_.front().szName);
    else if (!adapters_.empty())
        sent = tolm_.send_module_scan_via(nullptr);
    else
        sent = tolm_.send_module_scan();
    if (sent == 0) throw Failure(kCannotSend, "the scan could not be sent");
}

void TolmSession::SendConfigure(const TOLM_ConfigureRequestType& request, const Answer& module) {
    int32_t sent = 0;
    if (adapters_.empty()) {
        sent = tolm_.send_configure(&request);
    } else {
        const TOLM_AdapterType* through = nullptr;
        for (const TOLM_AdapterType& a : adapters_)
            if (client::FieldText(a.szName) == module.adapter) through = &a;
        if (through == nullptr && one_adapter_) through = &adapters_.front();
        if (through == nullptr)
            throw Failure(kCannotSend,
                          module.adapter.empty()
                              ? "cannot tell which adapter the module answered through; choose "
                                "one with --interface"
                              : "the adapter " + module.adapter +
                                    " that the module answered through cannot send now");
        sent = tolm_.send_configure_via(&request, through->szName);
    }
    if (sent == 0) throw Failure(kCannotSend, "the configure request could not be sent");
}

void TolmSession::WaitUntil(Clock::time_point deadline) {
    Notifications& n = TheNotifications();
    std::unique_lock<std::mutex> lock(n.mutex);
    // Counts from the last wait, so a notification that came meanwhile ends it at once.
    n.changed.wait_until(lock, deadline, [&] { return n.count != seen_; });
    seen_ = n.count;
}

std::optional<Answer> TolmSession::TakeAnswer() {
    Answer answer;
    if (tolm_.get_response_with_origin != nullptr) {
        TOLM_ResponseOriginType origin;
        if (tolm_.get_response_with_origin(&answer.record, &origin) == 0) return std::nullopt;
        answer.adapter = client::FieldText(origin.szAdapter);
        answer.sender = origin.dwSenderAddress;
        return answer;
    }
    if (tolm_.get_response(&answer.record) == 0) return std::nullopt;
    return answer;
}

int TolmSession::TakeReconfiguredCount() {
    Notifications& n = TheNotifications();
    std::lock_guard<std::mutex> lock(n.mutex);
    const int count = n.reconfigured;
    n.reconfigured = 0;
    return count;
}

std::optional<ReplyFrom> TolmSession::TakeReply() {
    if (tolm_.get_reply_with_origin == nullptr)
        throw Failure(kFailed, "this library cannot tell who answers a configure request");
    TOLM_ReplyType reply;
    if (tolm_.get_reply_with_origin(&reply) == 0) return std::nullopt;
    ReplyFrom from;
    from.code = reply.nCode;
    if (reply.bMacIdValid == 1) {
        client::Mac mac;
        std::copy(reply.abMacId, reply.abMacId + TOLM_MAC_SIZE, mac.begin());
        from.mac = mac;
    }
    from.sender = reply.origin.dwSenderAddress;
    from.adapter = client::FieldText(reply.origin.szAdapter);
    return from;
}

std::uint32_t TolmSession::DroppedAnswers() const {
    TOLM_DropCountsType counts;
    if (tolm_.get_drop_counts == nullptr || tolm_.get_drop_counts(&counts) == 0) return 0;
    return counts.dwResponses;
}

std::optional<client::Mac> TolmSession::TakeInvalidPasswordMac() {
    client::Mac mac;
    if (tolm_.get_inv_pswd_mac_id(mac.data()) == 0) return std::nullopt;
    tolm_.remove_first_inv_pswd_mac_id();
    return mac;
}

}  // namespace tolm::linkora
