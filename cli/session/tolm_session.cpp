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
    const bool one = !adapter.empty();
    if (tolm_.get_adapters == nullptr || tolm_.send_module_scan_via_index == nullptr ||
        tolm_.send_configure_via_index == nullptr) {
        if (one) throw Failure(kFailed, "this library cannot send through a chosen adapter");
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
    std::vector<std::uint32_t> listed;  // interfaces, each once
    std::vector<std::uint32_t> named;   // the interfaces the name given names
    for (const TOLM_AdapterType& a : all) {
        const std::string name = client::FieldText(a.szName);
        if (std::find(listed.begin(), listed.end(), a.dwIndex) == listed.end()) {
            listed.push_back(a.dwIndex);
            names += (names.empty() ? "" : ", ") + name;
        }
        own_addresses_.push_back(a.dwAddress);
        if (name == adapter && std::find(named.begin(), named.end(), a.dwIndex) == named.end())
            named.push_back(a.dwIndex);
    }
    if (!one) {
        adapters_ = all;
        return;
    }
    if (named.size() > 1) {
        std::string indexes;
        for (const std::uint32_t index : named)
            indexes += (indexes.empty() ? "" : ", ") + std::to_string(index);
        throw Failure(kUsage, "more than one adapter is called \"" + adapter + "\" (indexes " +
                                  indexes + "): give --interface the index of the one to use");
    }
    if (named.empty() && adapter.find_first_not_of("0123456789") == std::string::npos)
        for (const TOLM_AdapterType& a : all)
            if (std::to_string(a.dwIndex) == adapter) named = {a.dwIndex};
    if (named.empty())
        throw Failure(kUsage, "no adapter \"" + adapter +
                                  "\" that is up with an IPv4 broadcast address; there are: " +
                                  (names.empty() ? "none" : names));
    one_index_ = named.front();
    for (const TOLM_AdapterType& a : all)
        if (a.dwIndex == one_index_) adapters_.push_back(a);
}

std::vector<std::string> TolmSession::AdapterNames() const {
    std::vector<std::string> names;
    std::vector<std::uint32_t> indexes;
    for (const TOLM_AdapterType& a : adapters_) {
        if (std::find(indexes.begin(), indexes.end(), a.dwIndex) != indexes.end()) continue;
        indexes.push_back(a.dwIndex);
        names.push_back(client::FieldText(a.szName));
    }
    return names;
}

void TolmSession::SendScan() {
    int32_t sent = 0;
    if (one_index_ != 0)
        sent = tolm_.send_module_scan_via_index(one_index_);
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
        const std::uint32_t index = module.adapter_index != 0 ? module.adapter_index : one_index_;
        const bool listed =
            std::any_of(adapters_.begin(), adapters_.end(),
                        [&](const TOLM_AdapterType& a) { return a.dwIndex == index; });
        if (index == 0 || !listed)
            throw Failure(kCannotSend,
                          index == 0 ? "cannot tell which adapter the module answered through; "
                                       "choose one with --interface"
                                     : "the adapter " + module.adapter +
                                           " that the module answered through cannot send now");
        sent = tolm_.send_configure_via_index(&request, index);
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
        answer.adapter_index = origin.dwAdapterIndex;
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
