#include "configure_args.h"

#include <charconv>
#include <cstring>

#include "address_text.h"
#include "text_escape.h"

namespace tolm::host {

namespace {

bool ParseNumber(const std::string& text, int base, uint32_t limit, uint32_t& value) {
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    const auto [stop, status] = std::from_chars(text.data(), end, value, base);
    return status == std::errc() && stop == end && value <= limit;
}

bool CopyText(const std::string& word, char (&field)[TOLM_TEXT_SIZE]) {
    const auto text = Unescape(word);
    if (!text || text->size() >= TOLM_TEXT_SIZE || text->find('\0') != std::string::npos)
        return false;
    std::memset(field, 0, sizeof field);
    std::memcpy(field, text->data(), text->size());
    return true;
}

TOLM_ConfigureRequestType DefaultRequest() {
    TOLM_ConfigureRequestType request;
    std::memset(&request, 0, sizeof request);
    request.dwIpAddress = 0xFFFFFFFF;
    request.dwSubnetMask = 0xFFFFFFFF;
    request.dwGateway = 0xFFFFFFFF;
    request.bDhcpEnabled = 2;
    request.dwDns1 = 0xFFFFFFFF;
    request.dwDns2 = 0xFFFFFFFF;
    return request;
}

bool ApplyField(const std::string& key, const std::string& value,
                TOLM_ConfigureRequestType& request) {
    uint32_t number = 0;
    if (key == "mac") return ParseMac(value, request.abMacId);
    if (key == "pw") return CopyText(value, request.szPassword);
    if (key == "newpw") {
        request.bChangePassword = 1;
        return CopyText(value, request.szNewPassword);
    }
    if (key == "change") {
        if (!ParseNumber(value, 10, 255, number)) return false;
        request.bChangePassword = static_cast<uint8_t>(number);
        return true;
    }
    if (key == "dhcp") {
        if (!ParseNumber(value, 10, 255, number)) return false;
        request.bDhcpEnabled = static_cast<uint8_t>(number);
        return true;
    }
    if (key == "hn") return CopyText(value, request.szHostName);
    if (key == "ip") return ParseAddress(value, request.dwIpAddress);
    if (key == "sn") return ParseAddress(value, request.dwSubnetMask);
    if (key == "gw") return ParseAddress(value, request.dwGateway);
    if (key == "dns1") return ParseAddress(value, request.dwDns1);
    if (key == "dns2") return ParseAddress(value, request.dwDns2);
    return false;
}

}  // namespace

bool ParseMac(const std::string& text, uint8_t (&mac)[TOLM_MAC_SIZE]) {
    const auto parsed = client::ParseMac(text, nullptr);
    if (parsed) std::memcpy(mac, parsed->data(), parsed->size());
    return parsed.has_value();
}

bool ParseAddress(const std::string& text, uint32_t& address) {
    if (text.rfind("0x", 0) == 0) {
        const std::string digits = text.substr(2);
        return digits.size() <= 8 && ParseNumber(digits, 16, 0xFFFFFFFF, address);
    }
    const auto parsed = client::ParseIpv4(text, nullptr);
    if (parsed) address = *parsed;
    return parsed.has_value();
}

std::optional<TOLM_ConfigureRequestType> ParseConfigureArgs(const std::vector<std::string>& args,
                                                            std::string& error) {
    TOLM_ConfigureRequestType request = DefaultRequest();
    for (const auto& arg : args) {
        const std::size_t equals = arg.find('=');
        if (equals == std::string::npos) {
            error = "expected key=value: " + arg;
            return std::nullopt;
        }
        if (!ApplyField(arg.substr(0, equals), arg.substr(equals + 1), request)) {
            error = "bad configure field: " + arg;
            return std::nullopt;
        }
    }
    return request;
}

}  // namespace tolm::host
