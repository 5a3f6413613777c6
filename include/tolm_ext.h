/* tolm extensions: calls beyond the nine exports of tolm.h, for hosts that
 * want to tell their user more. The nine and their behaviour are unchanged;
 * a host that binds these by name must cope with a library that lacks them.
 * On Windows they follow the nine at ordinals 10 and up. */
#ifndef TOLM_EXT_H
#define TOLM_EXT_H

#include "tolm.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Why the library has no socket (the sends then return 0). */
#define TOLM_SOCKET_OK 0
#define TOLM_SOCKET_PORT_IN_USE 1   /* another program holds UDP port 3250 */
#define TOLM_SOCKET_ACCESS_DENIED 2 /* not allowed to bind the port or to broadcast */
#define TOLM_SOCKET_NO_NETWORK 3    /* no IPv4 networking: sockets layer missing, network down */
#define TOLM_SOCKET_FAILED 4        /* any other reason; the OS error code tells */
#define TOLM_SOCKET_NO_MEMORY 5     /* the library could not allocate its state at load */

/* The outcome of opening the socket when the library was loaded. When
 * osError is not null it receives the OS's error code (errno, or
 * WSAGetLastError() on Windows), 0 where none applies. Ordinal 10. */
TOLM_EXPORT int32_t TOLM_API TOLM_GetSocketStatus(int32_t* osError);

typedef int32_t(TOLM_API* TOLM_GetSocketStatusFn)(int32_t*);

/* Network adapters: a scan or configure request sent through each up IPv4
 * adapter that has a broadcast address, or through one named adapter,
 * reaches modules behind every adapter; the limited broadcast of the nine
 * leaves through one adapter only. Sends through an adapter go to the
 * limited broadcast pinned to that adapter, so they reach its link whatever
 * the modules' own addresses, and never another link. Answers are received
 * as before, each with the adapter it arrived on. */
#define TOLM_ADAPTER_NAME_SIZE 128

/* One adapter. Addresses as in the records: first dotted number in the most
 * significant byte. */
typedef struct TOLM_AdapterType {
    char szName[TOLM_ADAPTER_NAME_SIZE]; /* interface name (Windows: friendly name), NUL-ended */
    uint32_t dwIndex;                    /* the OS's interface index */
    uint32_t dwAddress;                  /* the adapter's IPv4 address */
    uint32_t dwSubnetMask;
    uint32_t dwBroadcast; /* its directed broadcast */
} TOLM_AdapterType;

/* Where a queued answer came from. */
typedef struct TOLM_ResponseOriginType {
    char szAdapter[TOLM_ADAPTER_NAME_SIZE]; /* adapter it arrived on; empty when unknown */
    uint32_t dwAdapterIndex;                /* its interface index; 0 when unknown */
    uint32_t dwSenderAddress;               /* the datagram's IPv4 source address */
    uint16_t wSenderPort;                   /* its UDP source port */
    uint16_t wReserved;                     /* 0 */
} TOLM_ResponseOriginType;

/* Lists the up IPv4 adapters that have a broadcast address, loopback left
 * out, into adapters[0..capacity-1] (adapters may be null when capacity is
 * 0). Returns how many there are, which may exceed capacity; -1 when the
 * adapters cannot be listed. Ordinal 11. */
TOLM_EXPORT int32_t TOLM_API TOLM_GetAdapters(TOLM_AdapterType* adapters, int32_t capacity);

/* Sends the scan request through the adapter named adapterName, or through
 * every listed adapter when adapterName is null, once per interface however
 * many addresses it has. Returns through how many adapters it went out: 0
 * when none (no socket, no such adapter, no adapter up, or every send
 * failed). Names can repeat (Windows writes a letter beyond ASCII as '?'):
 * a host that chooses one adapter chooses it by index, below. Ordinal 12. */
TOLM_EXPORT int32_t TOLM_API TOLM_SendModuleScanVia(const char* adapterName);

/* The same for a configure request; 0 also when the request does not fit
 * the protocol's limits. Ordinal 13. */
TOLM_EXPORT int32_t TOLM_API TOLM_SendConfigureVia(const TOLM_ConfigureRequestType* request,
                                                   const char* adapterName);

/* The same through the one interface whose index (dwIndex, dwAdapterIndex)
 * is adapterIndex: 1 when it went out, 0 when not. Ordinals 17 and 18. */
TOLM_EXPORT int32_t TOLM_API TOLM_SendModuleScanViaIndex(uint32_t adapterIndex);
TOLM_EXPORT int32_t TOLM_API TOLM_SendConfigureViaIndex(const TOLM_ConfigureRequestType* request,
                                                        uint32_t adapterIndex);

/* TOLM_GetResponse that also tells where the answer came from: 1 when the
 * oldest queued answer was copied into response and its origin into origin
 * (origin may be null), and removed; 0 when none was queued, both buffers
 * untouched. Takes from the same queue as TOLM_GetResponse. Ordinal 14. */
TOLM_EXPORT int32_t TOLM_API TOLM_GetResponseWithOrigin(TOLM_ModuleScanResponseType* response,
                                                        TOLM_ResponseOriginType* origin);

/* Who answered a configure request. A "Reconfigured:" or "Invalid Password:"
 * datagram says nothing of its sender through the nine exports, yet anyone on
 * the segment can send one; a host that must tell the module's own reply
 * from another's reads each with its origin here. The library keeps replies
 * only from the first call of TOLM_GetReplyWithOrigin on (a host that never
 * asks keeps none), at most TOLM_MAX_QUEUED_REPLIES of them; the nine
 * exports' notifications and queues are unchanged. */
typedef struct TOLM_ReplyType {
    int32_t nCode;                  /* TOLM_NOTIFY_RECONFIGURED or TOLM_NOTIFY_INVALID_PASSWORD */
    uint8_t abMacId[TOLM_MAC_SIZE]; /* the MAC named after the reply's prefix */
    uint8_t bMacIdValid;            /* 1 when the text names a whole MAC */
    uint8_t bReserved;              /* 0 */
    TOLM_ResponseOriginType origin; /* where the datagram came from */
} TOLM_ReplyType;

/* 1 when the oldest kept reply was copied into reply and removed; 0 when
 * none is kept (the first call only starts keeping them). Ordinal 15. */
TOLM_EXPORT int32_t TOLM_API TOLM_GetReplyWithOrigin(TOLM_ReplyType* reply);

/* The queues are bounded, so that a flood on the segment cannot exhaust the
 * host's memory: what arrives while a queue is full is dropped (its
 * notification too) and counted. */
#define TOLM_MAX_QUEUED_RESPONSES 65536
#define TOLM_MAX_QUEUED_INVALID_PASSWORDS 4096
#define TOLM_MAX_QUEUED_REPLIES 4096

/* What was dropped since the last TOLM_Start (or load). */
typedef struct TOLM_DropCountsType {
    uint32_t dwResponses;        /* scan answers: the response queue was full */
    uint32_t dwInvalidPasswords; /* "Invalid Password:" entries: that queue was full */
    uint32_t dwReplies;          /* kept replies: their queue was full */
    uint32_t dwDatagrams;        /* datagrams that could not be read (too long, errors) */
} TOLM_DropCountsType;

/* Copies the counts into counts; 1, or 0 when counts is null or the library
 * has no engine. Ordinal 16. */
TOLM_EXPORT int32_t TOLM_API TOLM_GetDropCounts(TOLM_DropCountsType* counts);

typedef int32_t(TOLM_API* TOLM_GetAdaptersFn)(TOLM_AdapterType*, int32_t);
typedef int32_t(TOLM_API* TOLM_SendModuleScanViaFn)(const char*);
typedef int32_t(TOLM_API* TOLM_SendConfigureViaFn)(const TOLM_ConfigureRequestType*, const char*);
typedef int32_t(TOLM_API* TOLM_GetResponseWithOriginFn)(TOLM_ModuleScanResponseType*,
                                                        TOLM_ResponseOriginType*);
typedef int32_t(TOLM_API* TOLM_GetReplyWithOriginFn)(TOLM_ReplyType*);
typedef int32_t(TOLM_API* TOLM_GetDropCountsFn)(TOLM_DropCountsType*);
typedef int32_t(TOLM_API* TOLM_SendModuleScanViaIndexFn)(uint32_t);
typedef int32_t(TOLM_API* TOLM_SendConfigureViaIndexFn)(const TOLM_ConfigureRequestType*, uint32_t);

#ifdef __cplusplus
}
#endif

/* The layout hosts rely on, on every target. */
#ifdef __cplusplus
#define TOLM_EXT_STATIC_ASSERT static_assert
#else
#define TOLM_EXT_STATIC_ASSERT _Static_assert
#endif
TOLM_EXT_STATIC_ASSERT(sizeof(TOLM_AdapterType) == 144, "adapter size");
TOLM_EXT_STATIC_ASSERT(offsetof(TOLM_AdapterType, dwIndex) == 128, "dwIndex");
TOLM_EXT_STATIC_ASSERT(offsetof(TOLM_AdapterType, dwBroadcast) == 140, "dwBroadcast");
TOLM_EXT_STATIC_ASSERT(sizeof(TOLM_ResponseOriginType) == 140, "origin size");
TOLM_EXT_STATIC_ASSERT(offsetof(TOLM_ResponseOriginType, dwAdapterIndex) == 128, "index");
TOLM_EXT_STATIC_ASSERT(offsetof(TOLM_ResponseOriginType, dwSenderAddress) == 132, "sender");
TOLM_EXT_STATIC_ASSERT(offsetof(TOLM_ResponseOriginType, wSenderPort) == 136, "port");
TOLM_EXT_STATIC_ASSERT(sizeof(TOLM_ReplyType) == 152, "reply size");
TOLM_EXT_STATIC_ASSERT(offsetof(TOLM_ReplyType, abMacId) == 4, "reply mac");
TOLM_EXT_STATIC_ASSERT(offsetof(TOLM_ReplyType, origin) == 12, "reply origin");
TOLM_EXT_STATIC_ASSERT(sizeof(TOLM_DropCountsType) == 16, "drop counts size");
#undef TOLM_EXT_STATIC_ASSERT

#endif
