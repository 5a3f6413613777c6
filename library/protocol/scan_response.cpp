#include <cstring>
#include <string>

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

// The received text with a lower-cased twin, in which the keys (all lower
// case) are found by plain search: one pass per key instead of a
// case-folding comparison at every position.
class ResponseText {
  public:
    explicit ResponseText(std::string_view text) : text_(text), lower_(text) {
        for (char& c : lower_)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    std::string_view Text() const { return text_; }
    // Where the value after key starts; kNotFound when the key is missing.
    std::size_t ValueOf(std::string_view key) const {
        const std::size_t at = std::string_view(lower_).substr(0, text_.size()).find(key);
        return at == std::string_view::npos ? kNotFound : at + key.size();
    }
    void EndAt(std::size_t length) { text_ = text_.substr(0, length); }

  private:
    std::string_view text_;
    std::string lower_;
};

// Copies a ';'-ended value. Where no ';' follows and the value runs past 127
// characters, the text is ended there, so later keys beyond it go unseen.
void ReadTextValue(ResponseText& response, std::size_t pos, char* out) {
    const std::string_view text = response.Text();
    const std::size_t semicolon = text.find(';', pos);
    std::size_t length = (semicolon == std::string_view::npos ? text.size() : semicolon) - pos;
    if (length > kMaxTextValue) {
        length = kMaxTextValue;
        if (semicolon == std::string_view::npos) response.EndAt(pos + kMaxTextValue);
    }
    std::memcpy(out, text.data() + pos, length);
    out[length] = '\0';
}

}  // namespace

TOLM_ModuleScanResponseType ParseScanResponse(std::string_view received) {
    TOLM_ModuleScanResponseType r;
    std::memset(&r, 0xFF, sizeof r);
    std::uint8_t* const flags[] = {
        &r.bProtocolVersionValid, &r.bFbTypeValid,    &r.bModuleVersionValid,
        &r.bMacIdValid,           &r.bIpAddressValid, &r.bSubnetMaskValid,
        &r.bGatewayValid,         &r.bDhcpValid,      &r.bPswdValid,
        &r.bHostNameValid,        &r.bDns1Valid,      &r.bDns2Valid};
    for (std::uint8_t* flag : flags) *flag = 0;

    ResponseText response(received);
    // Each key's value starts right after it; kNotFound when the key is missing.
    auto value_of = [&response](std::string_view key, std::uint8_t& flag) {
        const std::size_t at = response.ValueOf(key);
        if (at != kNotFound) flag = 1;
        return at;
    };
    std::size_t at;
    if ((at = value_of("protocol version = ", r.bProtocolVersionValid)) != kNotFound) {
        std::int32_t n[2];
        ReadDotted(response.Text(), at, n, 2);
        r.bProtocolVersionMajor = static_cast<std::uint8_t>(n[0]);
        r.bProtocolVersionMinor = static_cast<std::uint8_t>(n[1]);
    }
    if ((at = value_of("fb type = ", r.bFbTypeValid)) != kNotFound)
        ReadTextValue(response, at, r.szFbType);
    if ((at = value_of("module version = ", r.bModuleVersionValid)) != kNotFound) {
        std::int32_t n[3];
        ReadDotted(response.Text(), at, n, 3);
        r.bModuleVersionMajor = static_cast<std::uint8_t>(n[0]);
        r.bModuleVersionMinor = static_cast<std::uint8_t>(n[1]);
        r.wModuleVersionBuild = static_cast<std::uint16_t>(n[2]);
    }
    if ((at = value_of("mac = ", r.bMacIdValid)) != kNotFound)
        ReadMac(response.Text(), at, r.abMacId);
    if ((at = value_of("ip = ", r.bIpAddressValid)) != kNotFound)
        r.dwIpAddress = ReadAddress(response.Text(), at);
    if ((at = value_of("sn = ", r.bSubnetMaskValid)) != kNotFound)
        r.dwSubnetMask = ReadAddress(response.Text(), at);
    if ((at = value_of("gw = ", r.bGatewayValid)) != kNotFound)
        r.dwGateway = ReadAddress(response.Text(), at);
    if ((at = value_of("dhcp = ", r.bDhcpValid)) != kNotFound)
        r.bDhcpEnabled = OnOff(response.Text(), at);
    if ((at = value_of("pswd = ", r.bPswdValid)) != kNotFound)
        r.bPswdEnabled = OnOff(response.Text(), at);
    if ((at = value_of("hn = ", r.bHostNameValid)) != kNotFound)
        ReadTextValue(response, at, r.szHostName);
    if ((at = value_of("dns1 = ", r.bDns1Valid)) != kNotFound)
        r.dwDns1 = ReadAddress(response.Text(), at);
    if ((at = value_of("dns2 = ", r.bDns2Valid)) != kNotFound)
        r.dwDns2 = ReadAddress(response.Text(), at);
    return r;
}

}  // namespace tolm::protocol
