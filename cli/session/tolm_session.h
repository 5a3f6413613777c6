// linkora's use of the library: loads it by file name (after the lab
// guard), starts the engine, sends through the chosen adapters and hands
// over what arrives. Failures throw Failure with the exit code to use.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "address_text.h"
#include "cli/session/module_list.h"
#include "cli/session/scan_timing.h"
#include "shared_library.h"
#include "tolm_exports.h"

namespace tolm::linkora {

// A "Reconfigured:" or "Invalid Password:" with where it came from.
struct ReplyFrom {
    int code = 0;                    // TOLM_NOTIFY_RECONFIGURED or TOLM_NOTIFY_INVALID_PASSWORD
    std::optional<client::Mac> mac;  // the MAC its text names
    std::uint32_t sender = 0;
    std::string adapter;
};

class TolmSession {
  public:
    // adapter: the one adapter to use, by name (or by index where names
    // repeat); empty for every adapter.
    TolmSession(const std::string& library_path, const std::string& adapter);
    ~TolmSession();
    TolmSession(const TolmSession&) = delete;
    TolmSession& operator=(const TolmSession&) = delete;

    // The adapters sends go through, one entry per address; empty where the
    // library cannot tell.
    const std::vector<TOLM_AdapterType>& Adapters() const { return adapters_; }
    // Their names, once per interface.
    std::vector<std::string> AdapterNames() const;
    // This PC's addresses on every adapter the library lists, chosen or not.
    const std::vector<std::uint32_t>& OwnAddresses() const { return own_addresses_; }

    // Through the chosen adapter, or through every adapter; by the limited
    // broadcast alone where the library cannot list adapters.
    void SendScan();
    // Always out of the interface the module answered on (by index: names
    // can repeat), once whatever addresses it has, so that the request (and
    // its password) reaches the module's link and no other.
    void SendConfigure(const TOLM_ConfigureRequestType& request, const Answer& module);

    // Sleeps until the library notifies something or the deadline passes.
    void WaitUntil(Clock::time_point deadline);
    std::optional<Answer> TakeAnswer();
    // "Reconfigured:" replies since the last call.
    int TakeReconfiguredCount();
    std::optional<client::Mac> TakeInvalidPasswordMac();
    // Replies with their senders, kept from the session's start; throws when
    // the library cannot tell senders.
    std::optional<ReplyFrom> TakeReply();
    // Answers the library had no room for since the session started.
    std::uint32_t DroppedAnswers() const;

  private:
    void CheckSocket() const;
    void ChooseAdapters(const std::string& adapter);

    client::SharedLibrary library_;
    client::TolmExports tolm_;
    std::vector<TOLM_AdapterType> adapters_;
    std::vector<std::uint32_t> own_addresses_;
    std::uint32_t one_index_ = 0;  // --interface: its index; 0 for every adapter
    std::uint64_t seen_ = 0;       // notifications counted by the last wait
};

}  // namespace tolm::linkora
