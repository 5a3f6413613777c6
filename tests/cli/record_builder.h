// Scan-response records for the tests, filled as the library fills them.
#pragma once

#include <cstring>
#include <string>

#include "cli/session/module_list.h"

namespace tolm::linkora {

inline Answer MakeAnswer(std::uint8_t mac_last, std::uint32_t ip, bool has_mac = true) {
    Answer answer;
    TOLM_ModuleScanResponseType& r = answer.record;
    std::memset(&r, 0xFF, sizeof r);
    r.bProtocolVersionValid = r.bFbTypeValid = r.bModuleVersionValid = r.bMacIdValid = 0;
    r.bIpAddressValid = r.bSubnetMaskValid = r.bGatewayValid = r.bDhcpValid = r.bPswdValid = 0;
    r.bHostNameValid = r.bDns1Valid = r.bDns2Valid = 0;
    if (has_mac) {
        const std::uint8_t mac[] = {0x02, 0, 0, 0, 0, mac_last};
        std::memcpy(r.abMacId, mac, sizeof mac);
        r.bMacIdValid = 1;
    }
    if (ip != 0) {
        r.dwIpAddress = ip;
        r.bIpAddressValid = 1;
    }
    return answer;
}

inline void SetText(char (&field)[TOLM_TEXT_SIZE], std::uint8_t& flag, const std::string& text) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text.data(), text.size());
    flag = 1;
}

}  // namespace tolm::linkora
