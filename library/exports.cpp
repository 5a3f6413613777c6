// The nine exports and the extensions: thin entries into the engine. Nothing may throw across
// this boundary; the engine catches what it can meet.
#include <cstring>
#include <new>

#include "engine/adapters.h"
#include "engine/engine.h"
#include "protocol/messages.h"
#include "tolm.h"
#include "tolm_ext.h"

extern "C" {

TOLM_EXPORT int32_t TOLM_API TOLM_GetResponse(TOLM_ModuleScanResponseType* response) {
    return response ? tolm::engine::TakeResponse(response) : 0;
}

TOLM_EXPORT int32_t TOLM_API TOLM_GetInvPswdMacId(uint8_t* macId) {
    return macId ? tolm::engine::PeekInvalidPasswordMac(macId) : 0;
}

TOLM_EXPORT int32_t TOLM_API TOLM_RemoveFirstInvPswdMacId(void) {
    return tolm::engine::RemoveFirstInvalidPasswordMac();
}

TOLM_EXPORT int32_t TOLM_API TOLM_Start(void) {
    return tolm::engine::Start();
}

TOLM_EXPORT int32_t TOLM_API TOLM_SendModuleScan(void) {
    return tolm::engine::SendScan();
}

TOLM_EXPORT int32_t TOLM_API TOLM_SendConfigure(const TOLM_ConfigureRequestType* request) {
    return request ? tolm::engine::SendConfigure(*request) : 0;
}

TOLM_EXPORT TOLM_NotifyCallback TOLM_API TOLM_RegisterCallBack(TOLM_NotifyCallback callback) {
    return tolm::engine::RegisterCallback(callback);
}

// Reports 1.2 build 1 for the Windows platform; the size member is left alone.
TOLM_EXPORT int32_t TOLM_API DllGetVersion(TOLM_DllVersionInfoType* info) {
    constexpr int32_t kInvalidArgument = static_cast<int32_t>(0x80070057);
    if (info == nullptr) return kInvalidArgument;
    info->dwMajorVersion = 1;
    info->dwMinorVersion = 2;
    info->dwBuildNumber = 1;
    info->dwPlatformID = 1;
    return 0;
}

// 0 when the worker could not be stopped, so that a host never takes a
// running worker for a stopped one.
TOLM_EXPORT int32_t TOLM_API TOLM_Stop(void) {
    return tolm::engine::Stop() ? 1 : 0;
}

TOLM_EXPORT int32_t TOLM_API TOLM_GetSocketStatus(int32_t* osError) {
    const tolm::platform::SocketError error = tolm::engine::SocketError();
    if (osError != nullptr) *osError = error.os_error;
    return static_cast<int32_t>(error.status);
}

TOLM_EXPORT int32_t TOLM_API TOLM_GetAdapters(TOLM_AdapterType* adapters, int32_t capacity) {
    if (capacity < 0 || (capacity > 0 && adapters == nullptr)) return -1;
    return tolm::engine::ListAdapters(adapters, capacity);
}

TOLM_EXPORT int32_t TOLM_API TOLM_SendModuleScanVia(const char* adapterName) {
    return tolm::engine::SendVia(tolm::protocol::kScanRequest, adapterName);
}

TOLM_EXPORT int32_t TOLM_API TOLM_SendConfigureVia(const TOLM_ConfigureRequestType* request,
                                                   const char* adapterName) {
    if (request == nullptr) return 0;
    try {
        const std::optional<std::string> text = tolm::protocol::ComposeConfigureRequest(*request);
        return text ? tolm::engine::SendVia(*text, adapterName) : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

TOLM_EXPORT int32_t TOLM_API TOLM_SendModuleScanViaIndex(uint32_t adapterIndex) {
    return tolm::engine::SendViaIndex(tolm::protocol::kScanRequest, adapterIndex);
}

TOLM_EXPORT int32_t TOLM_API TOLM_SendConfigureViaIndex(const TOLM_ConfigureRequestType* request,
                                                        uint32_t adapterIndex) {
    if (request == nullptr) return 0;
    try {
        const std::optional<std::string> text = tolm::protocol::ComposeConfigureRequest(*request);
        return text ? tolm::engine::SendViaIndex(*text, adapterIndex) : 0;
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

TOLM_EXPORT int32_t TOLM_API TOLM_GetResponseWithOrigin(TOLM_ModuleScanResponseType* response,
                                                        TOLM_ResponseOriginType* origin) {
    if (response == nullptr) return 0;
    tolm::platform::Origin taken;
    if (tolm::engine::TakeResponse(response, &taken) == 0) return 0;
    if (origin != nullptr) tolm::engine::DescribeOrigin(taken, origin);
    return 1;
}

TOLM_EXPORT int32_t TOLM_API TOLM_GetReplyWithOrigin(TOLM_ReplyType* reply) {
    if (reply == nullptr) return 0;
    tolm::engine::Reply taken;
    if (tolm::engine::TakeReply(&taken) == 0) return 0;
    std::memset(reply, 0, sizeof *reply);
    reply->nCode = taken.code;
    reply->bMacIdValid = taken.mac ? 1 : 0;
    if (taken.mac) std::memcpy(reply->abMacId, taken.mac->data(), TOLM_MAC_SIZE);
    tolm::engine::DescribeOrigin(taken.origin, &reply->origin);
    return 1;
}

TOLM_EXPORT int32_t TOLM_API TOLM_GetDropCounts(TOLM_DropCountsType* counts) {
    return counts ? tolm::engine::DropCounts(counts) : 0;
}

}  // extern "C"
