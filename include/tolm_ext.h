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

#ifdef __cplusplus
}
#endif

#endif
