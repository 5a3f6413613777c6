/* tolm: discovery of field-bus Ethernet interface modules over UDP port 3250.
 *
 * The records, notification codes, callback type and the nine exports that
 * the library and its hosts share. One declaration for every target: the
 * records use natural alignment (no packing) and their layout is pinned
 * below. */
#ifndef TOLM_H
#define TOLM_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Exports use the Windows API convention on 32-bit Windows (callee pops);
 * the callback uses the C convention (caller pops). */
#if defined(_WIN32)
#define TOLM_API __stdcall
#define TOLM_CALLBACK __cdecl
#else
#define TOLM_API
#define TOLM_CALLBACK
#endif

#if defined(TOLM_BUILDING_LIBRARY)
#if defined(_WIN32)
#define TOLM_EXPORT
#else
#define TOLM_EXPORT __attribute__((visibility("default")))
#endif
#else
#define TOLM_EXPORT
#endif

#define TOLM_PORT 3250

#define TOLM_NOTIFY_RESPONSE 1
#define TOLM_NOTIFY_RECONFIGURED 2
#define TOLM_NOTIFY_INVALID_PASSWORD 3

#define TOLM_TEXT_SIZE 128
#define TOLM_MAC_SIZE 6

/* One module's answer to a scan. Every byte starts as 0xFF, every presence
 * flag (..Valid) as 0; a field means something only when its flag is 1.
 * Addresses: the first dotted number in the most significant byte. */
typedef struct TOLM_ModuleScanResponseType {
    uint8_t bProtocolVersionMajor;
    uint8_t bProtocolVersionMinor;
    uint8_t bProtocolVersionValid;
    char szFbType[TOLM_TEXT_SIZE];
    uint8_t bFbTypeValid;
    uint8_t bModuleVersionMajor;
    uint8_t bModuleVersionMinor;
    uint16_t wModuleVersionBuild;
    uint8_t bModuleVersionValid;
    uint8_t abMacId[TOLM_MAC_SIZE];
    uint8_t bMacIdValid;
    uint32_t dwIpAddress;
    uint8_t bIpAddressValid;
    uint32_t dwSubnetMask;
    uint8_t bSubnetMaskValid;
    uint32_t dwGateway;
    uint8_t bGatewayValid;
    uint8_t bDhcpEnabled;
    uint8_t bDhcpValid;
    uint8_t bPswdEnabled;
    uint8_t bPswdValid;
    char szHostName[TOLM_TEXT_SIZE];
    uint8_t bHostNameValid;
    uint32_t dwDns1;
    uint8_t bDns1Valid;
    uint32_t dwDns2;
    uint8_t bDns2Valid;
} TOLM_ModuleScanResponseType;

/* The settings to send to one module. 0xFFFFFFFF in an address field leaves
 * it unchanged; bDhcpEnabled other than 0 or 1 leaves DHCP unchanged. */
typedef struct TOLM_ConfigureRequestType {
    uint8_t abMacId[TOLM_MAC_SIZE];
    char szPassword[TOLM_TEXT_SIZE];
    uint8_t bChangePassword;
    char szNewPassword[TOLM_TEXT_SIZE];
    uint32_t dwIpAddress;
    uint32_t dwSubnetMask;
    uint32_t dwGateway;
    uint8_t bDhcpEnabled;
    char szHostName[TOLM_TEXT_SIZE];
    uint32_t dwDns1;
    uint32_t dwDns2;
} TOLM_ConfigureRequestType;

/* The shell's DLLVERSIONINFO: five 32-bit fields on every target. */
typedef struct TOLM_DllVersionInfoType {
    uint32_t cbSize;
    uint32_t dwMajorVersion;
    uint32_t dwMinorVersion;
    uint32_t dwBuildNumber;
    uint32_t dwPlatformID;
} TOLM_DllVersionInfoType;

/* The host's notification function, called once per queued element and per
 * "Reconfigured:" datagram with a TOLM_NOTIFY_ code. Its rules:
 * - it runs on the library's worker thread, never on the host's, while the
 *   library holds its lock: return quickly, since no send or take can run
 *   meanwhile;
 * - it may call TOLM_GetResponse, TOLM_GetInvPswdMacId and
 *   TOLM_RemoveFirstInvPswdMacId (the lock nests);
 * - it must not wait for another thread that calls into the library;
 * - TOLM_Stop called from it returns at once and the worker ends after the
 *   callback returns; a later TOLM_Stop, TOLM_Start or unload from the
 *   host's thread waits for it;
 * - it must not unload the library. */
typedef void(TOLM_CALLBACK* TOLM_NotifyCallback)(int32_t code);

TOLM_EXPORT int32_t TOLM_API TOLM_GetResponse(TOLM_ModuleScanResponseType* response);
TOLM_EXPORT int32_t TOLM_API TOLM_GetInvPswdMacId(uint8_t* macId);
TOLM_EXPORT int32_t TOLM_API TOLM_RemoveFirstInvPswdMacId(void);
TOLM_EXPORT int32_t TOLM_API TOLM_Start(void);
TOLM_EXPORT int32_t TOLM_API TOLM_SendModuleScan(void);
TOLM_EXPORT int32_t TOLM_API TOLM_SendConfigure(const TOLM_ConfigureRequestType* request);
TOLM_EXPORT TOLM_NotifyCallback TOLM_API TOLM_RegisterCallBack(TOLM_NotifyCallback callback);
TOLM_EXPORT int32_t TOLM_API DllGetVersion(TOLM_DllVersionInfoType* info);
TOLM_EXPORT int32_t TOLM_API TOLM_Stop(void);

/* Function pointer types for hosts that bind the exports by name. */
typedef int32_t(TOLM_API* TOLM_GetResponseFn)(TOLM_ModuleScanResponseType*);
typedef int32_t(TOLM_API* TOLM_GetInvPswdMacIdFn)(uint8_t*);
typedef int32_t(TOLM_API* TOLM_RemoveFirstInvPswdMacIdFn)(void);
typedef int32_t(TOLM_API* TOLM_StartFn)(void);
typedef int32_t(TOLM_API* TOLM_SendModuleScanFn)(void);
typedef int32_t(TOLM_API* TOLM_SendConfigureFn)(const TOLM_ConfigureRequestType*);
typedef TOLM_NotifyCallback(TOLM_API* TOLM_RegisterCallBackFn)(TOLM_NotifyCallback);
typedef int32_t(TOLM_API* TOLM_DllGetVersionFn)(TOLM_DllVersionInfoType*);
typedef int32_t(TOLM_API* TOLM_StopFn)(void);

#ifdef __cplusplus
}
#endif

/* The layout both deliverables rely on, on every target. */
#ifdef __cplusplus
#include <cstddef>
#define TOLM_STATIC_ASSERT static_assert
#else
#include <stddef.h>
#define TOLM_STATIC_ASSERT _Static_assert
#endif
TOLM_STATIC_ASSERT(sizeof(TOLM_ModuleScanResponseType) == 316, "scan response size");
TOLM_STATIC_ASSERT(offsetof(TOLM_ModuleScanResponseType, szFbType) == 3, "szFbType");
TOLM_STATIC_ASSERT(offsetof(TOLM_ModuleScanResponseType, wModuleVersionBuild) == 134, "build");
TOLM_STATIC_ASSERT(offsetof(TOLM_ModuleScanResponseType, abMacId) == 137, "abMacId");
TOLM_STATIC_ASSERT(offsetof(TOLM_ModuleScanResponseType, dwIpAddress) == 144, "dwIpAddress");
TOLM_STATIC_ASSERT(offsetof(TOLM_ModuleScanResponseType, dwGateway) == 160, "dwGateway");
TOLM_STATIC_ASSERT(offsetof(TOLM_ModuleScanResponseType, bPswdValid) == 168, "bPswdValid");
TOLM_STATIC_ASSERT(offsetof(TOLM_ModuleScanResponseType, szHostName) == 169, "szHostName");
TOLM_STATIC_ASSERT(offsetof(TOLM_ModuleScanResponseType, dwDns1) == 300, "dwDns1");
TOLM_STATIC_ASSERT(offsetof(TOLM_ModuleScanResponseType, dwDns2) == 308, "dwDns2");
TOLM_STATIC_ASSERT(offsetof(TOLM_ModuleScanResponseType, bDns2Valid) == 312, "bDns2Valid");
TOLM_STATIC_ASSERT(sizeof(TOLM_ConfigureRequestType) == 416, "configure request size");
TOLM_STATIC_ASSERT(offsetof(TOLM_ConfigureRequestType, szPassword) == 6, "szPassword");
TOLM_STATIC_ASSERT(offsetof(TOLM_ConfigureRequestType, bChangePassword) == 134, "change");
TOLM_STATIC_ASSERT(offsetof(TOLM_ConfigureRequestType, szNewPassword) == 135, "szNewPassword");
TOLM_STATIC_ASSERT(offsetof(TOLM_ConfigureRequestType, dwIpAddress) == 264, "dwIpAddress");
TOLM_STATIC_ASSERT(offsetof(TOLM_ConfigureRequestType, bDhcpEnabled) == 276, "bDhcpEnabled");
TOLM_STATIC_ASSERT(offsetof(TOLM_ConfigureRequestType, szHostName) == 277, "szHostName");
TOLM_STATIC_ASSERT(offsetof(TOLM_ConfigureRequestType, dwDns1) == 408, "dwDns1");
TOLM_STATIC_ASSERT(offsetof(TOLM_ConfigureRequestType, dwDns2) == 412, "dwDns2");
TOLM_STATIC_ASSERT(sizeof(TOLM_DllVersionInfoType) == 20, "version info size");
#undef TOLM_STATIC_ASSERT

#endif
