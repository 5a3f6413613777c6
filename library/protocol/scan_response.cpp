#include <cstring>

#include "messages.h"
#include "text_scan.h"

namespace tolm::protocol {
namespace {

constexpr std::size_t kMaxTextValue = TOLM_TEXT_SIZE - 1;

std::uint8_t OnOff(std::string_view text, std::size_t pos) {
    const std::string_view value = text.substr(pos);
    if (StartsWithNoCase(value, "off")) return 0;
    if (StartsWithNoCase(value, "on")) return 1;
    return 0xFF;
}

std::uint32_t ReadAddress(std::string_view text, std::size_t pos) {
    std::int32_t numbers[4];
    ReadDotted(text, pos, numbers, 4);
    std::uint32_t address = 0;
    for (std::int32_t number : numbers)
        address = (address << 8) | static_cast<std::uint8_t>(number);
    return address;
}

// Copies a ';'-ended value. Where no ';' follows and the value runs past 127
// characters, the text is ended there, so later keys beyond it go unseen.
void ReadTextValue(std::string_view& text, std::size_t pos, char* out) {
    const std::size_t semicolon = text.find(';', pos);
    std::size_t length = (semicolon == std::string_view::npos ? text.size() : semicolon) - pos;
    if (length > kMaxTextValue) {
        length = kMaxTextValue;
        if (semicolon == std::string_view::npos) text = text.substr(0, pos + kMaxTextValue);
    }
    std::memcpy(out, text.data() + pos, length);
    out[length] = '\0';
}

}  // namespace

TOLM_ModuleScanResponseType ParseScanResponse(std::string_view text) {
    TOLM_ModuleScanResponseType r;
    std::memset(&r, 0xFF, sizeof r);
    std::uint8_t* const flags[] = {
        &r.bProtocolVersionValid, &r.bFbTypeValid,    &r.bModuleVersionValid,
        &r.bMacIdValid,           &r.bIpAddressValid, &r.bSubnetMaskValid,
        &r.bGatewayValid,         &r.bDhcpValid,      &r.bPswdValid,
        &r.bHostNameValid,        &r.bDns1Valid,      &r.bDns2Valid};
    for (std::uint8_t* flag : flags) *flag = 0;

    // Each key's value starts right after it; kNotFound when the key is missing.
    auto value_of = [&text](std::string_view key, std::uint8_t& flag) {
        const std::size_t at = FindNoCase(text, key);
        if (at == kNotFound) return kNotFound;
        flag = 1;
        return at + key.size();
    };
    std::size_t at;
    if ((at = value_of("protocol version = ", r.bProtocolVersionValid)) != kNotFound) {
        std::int32_t n[2];
        ReadDotted(text, at, n, 2);
        r.bProtocolVersionMajor = static_cast<std::uint8_t>(n[0]);
        r.bProtocolVersionMinor = static_cast<std::uint8_t>(n[1]);
    }
    if ((at = value_of("fb type = ", r.bFbTypeValid)) != kNotFound)
        ReadTextValue(text, at, r.szFbType);
    if ((at = value_of("module version = ", r.bModuleVersionValid)) != kNotFound) {
        std::int32_t n[3];
        ReadDotted(text, at, n, 3);
        r.bModuleVersionMajor = static_cast<std::uint8_t>(n[0]);
        r.bModuleVersionMinor = static_cast<std::uint8_t>(n[1]);
        r.wModuleVersionBuild = static_cast<std::uint16_t>(n[2]);
    }
    if ((at = value_of("mac = ", r.bMacIdValid)) != kNotFound) ReadMac(text, at, r.abMacId);
    if ((at = value_of("ip = ", r.bIpAddressValid)) != kNotFound)
        r.dwIpAddress = ReadAddress(text, at);
    if ((at = value_of("sn = ", r.bSubnetMaskValid)) != kNotFound)
        r.dwSubnetMask = ReadAddress(text, at);
    if ((at = value_of("gw = ", r.bGatewayValid)) != kNotFound) r.dwGateway = ReadAddress(text, at);
    if ((at = value_of("dhcp = ", r.bDhcpValid)) != kNotFound) r.bDhcpEnabled = OnOff(text, at);
    if ((at = value_of("pswd = ", r.bPswdValid)) != kNotFound) r.bPswdEnabled = OnOff(text, at);
    if ((at = value_of("hn = ", r.bHostNameValid)) != kNotFound)
        ReadTextValue(text, at, r.szHostName);
    if ((at = value_of("dns1 = ", r.bDns1Valid)) != kNotFound) r.dwDns1 = ReadAddress(text, at);
    if ((at = value_of("dns2 = ", r.bDns2Valid)) != kNotFound) r.dwDns2 = ReadAddress(text, at);
    return r;
}

}  // namespace tolm::protocol
