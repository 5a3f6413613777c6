#include "scan_cycle.h"

#include <cstring>

#include "tolm_ext.h"

namespace {

std::string TextForSocketStatus(int status, int os_error) {
    switch (status) {
        case TOLM_SOCKET_OK:
            return "The scan could not be sent on the network.\n\n"
                   "Check the network connection and press Scan again.";
        case TOLM_SOCKET_PORT_IN_USE:
            return "The scan could not be sent: another program uses UDP port 3250.\n\n"
                   "Close that program and start this program again.";
        case TOLM_SOCKET_ACCESS_DENIED:
            return "The scan could not be sent: this program may not use UDP port 3250 or send "
                   "broadcasts.\n\n"
                   "Allow UDP port 3250 in and out in the firewall and start this program again.";
        case TOLM_SOCKET_NO_NETWORK:
            return "The scan could not be sent: this computer has no IPv4 network.\n\n"
                   "Connect it to the modules' network and start this program again.";
        case TOLM_SOCKET_NO_MEMORY:
            return "The scan could not be sent: the library ran out of memory.\n\n"
                   "Close other programs and start this program again.";
        default:
            return "The scan could not be sent: UDP port 3250 could not be opened (error " +
                   std::to_string(os_error) +
                   ").\n\nClose other programs that use the port and start this program again.";
    }
}

}  // namespace

std::string ScanNotSentText(const TolmFunctions& tolm) {
    // A library without the extension does not tell; the likeliest cause is named.
    if (tolm.TOLM_GetSocketStatus == nullptr)
        return TextForSocketStatus(TOLM_SOCKET_PORT_IN_USE, 0);
    std::int32_t os_error = 0;
    const int status = tolm.TOLM_GetSocketStatus(&os_error);
    return TextForSocketStatus(status, os_error);
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
