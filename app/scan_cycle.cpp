#include "scan_cycle.h"

#include <cstring>

#include "tolm_ext.h"

std::string ScanNotSentText(const TolmFunctions& tolm) {
    if (tolm.TOLM_GetSocketStatus == nullptr) return ScanNotSentText(nullptr, 0);
    std::int32_t os_error = 0;
    const int status = tolm.TOLM_GetSocketStatus(&os_error);
    return ScanNotSentText(&status, os_error);
}

std::string ScanNotSentText(const int* socket_status, int os_error) {
    const std::string not_sent = "The scan could not be sent";
    const int status = socket_status != nullptr ? *socket_status : TOLM_SOCKET_PORT_IN_USE;
    switch (status) {
        case TOLM_SOCKET_OK:
            return not_sent +
                   " on the network.\n\nCheck the network connection and press Scan "
                   "again.";
        case TOLM_SOCKET_PORT_IN_USE:
            return not_sent +
                   ": another program uses UDP port 3250.\n\nClose that program and "
                   "start this program again.";
        case TOLM_SOCKET_ACCESS_DENIED:
            return not_sent +
                   ": this program may not use UDP port 3250 or send broadcasts.\n\n"
                   "Allow UDP port 3250 in and out in the firewall and start this "
                   "program again.";
        case TOLM_SOCKET_NO_NETWORK:
            return not_sent +
                   ": this computer has no IPv4 network.\n\nConnect it to the "
                   "modules' network and start this program again.";
        case TOLM_SOCKET_NO_MEMORY:
            return not_sent +
                   ": the library ran out of memory.\n\nClose other programs and "
                   "start this program again.";
        default:
            return not_sent + ": UDP port 3250 could not be opened (error " +
                   std::to_string(os_error) +
                   ").\n\nClose other programs that use the port and start this program again.";
    }
}

bool TakeInvalidPasswordEntry(const TolmFunctions& tolm, const std::uint8_t* configured) {
    std::uint8_t first[TOLM_MAC_SIZE] = {};
    if (tolm.TOLM_GetInvPswdMacId(first) != 1) return false;
    tolm.TOLM_RemoveFirstInvPswdMacId();
    return configured != nullptr && std::memcmp(first, configured, TOLM_MAC_SIZE) == 0;
}

void DropConfiguredInvalidPasswordEntry(const TolmFunctions& tolm, const std::uint8_t* configured) {
    std::uint8_t first[TOLM_MAC_SIZE] = {};
    if (configured != nullptr && tolm.TOLM_GetInvPswdMacId(first) == 1 &&
        std::memcmp(first, configured, TOLM_MAC_SIZE) == 0) {
        tolm.TOLM_RemoveFirstInvPswdMacId();
    }
}
