// linkora's use of the library: loads it by file name (after the lab
// guard), starts the engine, sends through the chosen adapters and hands
// over what arrives. Failures throw Failure with the exit code to use.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "address_text.h"
#include "module_list.h"
#include "scan_timing.h"
#include "shared_library.h"
#include "tolm_exports.h"

namespace tolm::linkora {

class TolmSession {
  public:
    // adapter: the one adapter to use; empty for every adapter.
    TolmSession(const std::string& library_path, const std::string& adapter);
    ~TolmSession();
    TolmSession(const TolmSession&) = delete;
    TolmSession& operator=(const TolmSession&) = delete;

    // The adapters sends go through; empty where the library cannot tell.
    const std::vector<TOLM_AdapterType>& Adapters() const { return adapters_; }
    std::vector<std::string> AdapterNames() const;

    // Through the chosen adapter, or through every adapter and the limited
    // broadcast (which reaches modules whose address fits no adapter).
    void SendScan();
    // Through the adapter the module answered on when its address lies in
    // that adapter's subnet, else by the limited broadcast; with one chosen
    // adapter, through that.
    void SendConfigure(const TOLM_ConfigureRequestType& request, const Answer& module);

    // Sleeps until the library notifies something or the deadline passes.
    void WaitUntil(Clock::time_point deadline);
    std::optional<Answer> TakeAnswer();
    // "Reconfigured:" replies since the last call.
    int TakeReconfiguredCount();
    std::optional<client::Mac> TakeInvalidPasswordMac();

  private:
    void CheckSocket() const;
    void ChooseAdapters(const std::string& adapter);

    client::SharedLibrary library_;
    client::TolmExports tolm_;
    std::vector<TOLM_AdapterType> adapters_;
    bool one_adapter_ = false;
    std::uint64_t seen_ = 0;  // notifications counted by the last wait
};

}  // namespace tolm::linkora
