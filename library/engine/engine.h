// The engine: one UDP socket, a worker that drains it, two FIFO queues and
// the host's callback. One engine per process; the exports call in here.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/platform.h"
#include "protocol/messages.h"
#include "tolm.h"
#include "tolm_ext.h"

namespace tolm::engine {

// Library load and unload. Unload stops a worker the host left running,
// frees what is queued and closes the socket.
void OpenSocket();
void Unload();

// 1 when a worker was started; 0 when one already runs.
int32_t Start();
// Asks the worker to end and waits for it; frees the queued elements. False
// when it could not: another thread held Start or Stop for too long.
bool Stop();

inline constexpr std::uint32_t kLimitedBroadcast = 0xFFFFFFFF;

int32_t SendScan();
int32_t SendConfigure(const TOLM_ConfigureRequestType& request);
// Sends the text and its NUL to address, port 3250; 1 when it went out.
int32_t SendTo(std::string_view text, std::uint32_t address);
// The same to the limited broadcast out of one adapter only.
int32_t SendThrough(std::string_view text, const platform::Adapter& adapter);

// A "Reconfigured:" or "Invalid Password:" as it arrived.
struct Reply {
    int32_t code = 0;  // TOLM_NOTIFY_RECONFIGURED or TOLM_NOTIFY_INVALID_PASSWORD
    std::optional<protocol::MacAddress> mac;
    platform::Origin origin;
};

// Copies and removes the oldest answer; its origin too when origin is given.
int32_t TakeResponse(TOLM_ModuleScanResponseType* response, platform::Origin* origin = nullptr);
int32_t PeekInvalidPasswordMac(uint8_t* mac);
int32_t RemoveFirstInvalidPasswordMac();
TOLM_NotifyCallback RegisterCallback(TOLM_NotifyCallback callback);
// Copies and removes the oldest kept reply; the first call starts keeping them.
int32_t TakeReply(Reply* reply);
int32_t DropCounts(TOLM_DropCountsType* counts);

// Why the socket could not be opened at load; kNoMemory without an engine.
platform::SocketError SocketError();

}  // namespace tolm::engine
