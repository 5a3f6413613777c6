#include "reply_commands.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <thread>

#include "record_text.h"
#include "text_escape.h"

namespace tolm::host {
namespace {

std::string Reply(const client::TolmExports& exports) {
    TOLM_ReplyType reply;
    std::memset(&reply, 0xA5, sizeof reply);
    if (exports.get_reply_with_origin(&reply) == 0) return "reply result=0";
    return "reply result=1 code=" + std::to_string(reply.nCode) +
           " mac=" + (reply.bMacIdValid == 1 ? client::MacText(reply.abMacId) : "-") +
           " reserved=" + std::to_string(reply.bReserved) +
           " adapter=" + Escape(client::FieldText(reply.origin.szAdapter)) +
           " sender=" + client::IpText(reply.origin.dwSenderAddress);
}

std::string Drops(const client::TolmExports& exports) {
    TOLM_DropCountsType counts;
    const int32_t result = exports.get_drop_counts(&counts);
    return "drops result=" + std::to_string(result) +
           " responses=" + std::to_string(counts.dwResponses) +
           " invalid-passwords=" + std::to_string(counts.dwInvalidPasswords) +
           " replies=" + std::to_string(counts.dwReplies) +
           " datagrams=" + std::to_string(counts.dwDatagrams);
}

std::string Drain(const client::TolmExports& exports) {
    TOLM_ModuleScanResponseType response;
    std::set<std::string> macs;
    long long taken = 0;
    while (exports.get_response(&response) == 1) {
        ++taken;
        if (response.bMacIdValid == 1) macs.insert(client::MacText(response.abMacId));
    }
    long long invalid = 0;
    for (std::uint8_t mac[TOLM_MAC_SIZE]; exports.get_inv_pswd_mac_id(mac) == 1; ++invalid)
        exports.remove_first_inv_pswd_mac_id();
    return "drain taken=" + std::to_string(taken) + " macs=" + std::to_string(macs.size()) +
           " invalid=" + std::to_string(invalid);
}

// Two Stops at once, one from a thread of its own: the one that cannot have
// the library's lifecycle in time must say that it did not stop the worker.
std::string StopTwice(const client::TolmExports& exports) {
    int32_t other = -1;
    std::thread racer([&] { other = exports.stop(); });
    const int32_t here = exports.stop();
    racer.join();
    return "stop-twice results=" + std::to_string(std::min(here, other)) + "," +
           std::to_string(std::max(here, other));
}

}  // namespace

bool IsReplyCommand(const std::string& command) {
    return command == "reply" || command == "drops" || command == "drain" ||
           command == "stop-twice";
}

std::string RunReplyCommand(const client::TolmExports& exports,
                            const std::vector<std::string>& words) {
    const std::string& command = words.front();
    if (command == "drain") return Drain(exports);
    if (command == "stop-twice") return StopTwice(exports);
    if (exports.get_reply_with_origin == nullptr || exports.get_drop_counts == nullptr)
        return "error the library lacks the reply extensions";
    return command == "reply" ? Reply(exports) : Drops(exports);
}

}  // namespace tolm::host
