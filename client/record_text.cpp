#include "record_text.h"

#include <cstdio>
#include <cstring>

namespace tolm::client {

std::string IpText(std::uint32_t address) {
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", (address >> 24) & 0xFFu,
                  (address >> 16) & 0xFFu, (address >> 8) & 0xFFu, address & 0xFFu);
    return text;
}

std::string MacText(const std::uint8_t* mac) {
    char text[18];
    std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2],
                  mac[3], mac[4], mac[5]);
    return text;
}

std::string VersionText(unsigned major, unsigned minor, unsigned build) {
    char text[32];
    std::snprintf(text, sizeof text, "%u.%02u.%u", major, minor, build);
    return text;
}

const char* DhcpText(std::uint8_t dhcp_enabled) {
    return dhcp_enabled == 1 ? "On" : "Off";
}

const char* PasswordText(std::uint8_t password_enabled) {
    return password_enabled != 0 ? "On" : "Off";
}

std::string FieldText(const char (&text)[TOLM_TEXT_SIZE]) {
    const void* nul = std::memchr(text, '\0', sizeof text);
    return std::string(text, nul ? static_cast<const char*>(nul) - text : sizeof text);
}

namespace {

std::string Reported(std::uint8_t flag, const std::string& text) {
    return flag != 0 ? text : kNotAvailable;
}

}  // namespace

ListTexts ListRowTexts(const TOLM_ModuleScanResponseType& r) {
    return {
        Reported(r.bIpAddressValid, IpText(r.dwIpAddress)),
        Reported(r.bSubnetMaskValid, IpText(r.dwSubnetMask)),
        Reported(r.bGatewayValid, IpText(r.dwGateway)),
        Reported(r.bDhcpValid, DhcpText(r.bDhcpEnabled)),
        Reported(r.bModuleVersionValid,
                 VersionText(r.bModuleVersionMajor, r.bModuleVersionMinor, r.wModuleVersionBuild)),
        Reported(r.bFbTypeValid, FieldText(r.szFbType)),
        Reported(r.bMacIdValid, MacText(r.abMacId)),
    };
}

std::string HostNameText(const TOLM_ModuleScanResponseType& r) {
    return Reported(r.bHostNameValid, FieldText(r.szHostName));
}

std::string Dns1Text(const TOLM_ModuleScanResponseType& r) {
    return Reported(r.bDns1Valid, IpText(r.dwDns1));
}

std::string Dns2Text(const TOLM_ModuleScanResponseType& r) {
    return Reported(r.bDns2Valid, IpText(r.dwDns2));
}

std::string PasswordStateText(const TOLM_ModuleScanResponseType& r) {
    return Reported(r.bPswdValid, PasswordText(r.bPswdEnabled));
}

}  // namespace tolm::client
