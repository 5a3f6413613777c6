#include "composed_request.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "address.h"
#include "protocol/messages.h"
#include "require.h"
#include "sim/configure_request.h"

namespace tolm::fuzz {
namespace {

namespace tp = tolm::protocol;

constexpr std::uint32_t kUnchanged = 0xFFFFFFFF;
// What a module reads at most, written out here rather than taken from the
// library, so that a changed limit there shows.
constexpr std::size_t kLongestPiece = 99;
constexpr std::size_t kLongestText = 399;

// Up to 128 bytes, NUL-terminated when shorter; a text of 128 bytes without a
// NUL is unterminated. Bytes after the NUL must never show in a request.
void FillText(FuzzedDataProvider& input, char (&field)[TOLM_TEXT_SIZE]) {
    const std::string text = input.ConsumeRandomLengthString(TOLM_TEXT_SIZE);
    std::memset(field, '~', TOLM_TEXT_SIZE);
    std::memcpy(field, text.data(), text.size());
    if (text.size() < TOLM_TEXT_SIZE) field[text.size()] = '\0';
}

TOLM_ConfigureRequestType RequestFrom(FuzzedDataProvider& input) {
    TOLM_ConfigureRequestType r;
    for (std::uint8_t& byte : r.abMacId) byte = input.ConsumeIntegral<std::uint8_t>();
    FillText(input, r.szPassword);
    r.bChangePassword = input.ConsumeIntegral<std::uint8_t>();
    FillText(input, r.szNewPassword);
    r.dwIpAddress = input.ConsumeIntegral<std::uint32_t>();
    r.dwSubnetMask = input.ConsumeIntegral<std::uint32_t>();
    r.dwGateway = input.ConsumeIntegral<std::uint32_t>();
    r.bDhcpEnabled = input.ConsumeIntegral<std::uint8_t>();
    FillText(input, r.szHostName);
    r.dwDns1 = input.ConsumeIntegral<std::uint32_t>();
    r.dwDns2 = input.ConsumeIntegral<std::uint32_t>();
    return r;
}

// A text field as the composer must read it: up to its NUL, or all 128 bytes.
std::string_view Text(const char (&field)[TOLM_TEXT_SIZE]) {
    const void* nul = std::memchr(field, '\0', TOLM_TEXT_SIZE);
    return {field, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - field)
                       : static_cast<std::size_t>(TOLM_TEXT_SIZE)};
}

// "%u.%u.%u.%u" of the address's bytes, most significant first.
std::size_t DottedLength(std::uint32_t address) {
    std::size_t length = 3;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const unsigned byte = (address >> shift) & 0xFF;
        length += byte >= 100 ? 3 : (byte >= 10 ? 2 : 1);
    }
    return length;
}

// The pieces' lengths, worked out apart from the composer: whether the
// request fits, and how long its text is then.
struct Size {
    std::size_t total = 0;
    bool fits = true;
    void Add(std::size_t piece) {
        total += piece;
        if (piece > kLongestPiece) fits = false;
    }
    void AddAddress(std::string_view key, std::uint32_t address) {
        if (address != kUnchanged) Add(key.size() + DottedLength(address) + 1);
    }
};

Size ExpectedSize(const TOLM_ConfigureRequestType& r) {
    Size size;
    size.Add(std::string_view("Configure: XX-XX-XX-XX-XX-XX;").size());
    if (!Text(r.szPassword).empty())
        size.Add(std::string_view("Password: ;").size() + Text(r.szPassword).size());
    if (r.bChangePassword == 1)
        size.Add(std::string_view("New Password = ;").size() + Text(r.szNewPassword).size());
    size.AddAddress("IP = ", r.dwIpAddress);
    size.AddAddress("SN = ", r.dwSubnetMask);
    size.AddAddress("GW = ", r.dwGateway);
    if (r.bDhcpEnabled == 0) size.Add(std::string_view("DHCP = OFF;").size());
    if (r.bDhcpEnabled == 1) size.Add(std::string_view("DHCP = ON;").size());
    size.Add(std::string_view("HN = ;").size() + Text(r.szHostName).size());
    size.AddAddress("DNS1 = ", r.dwDns1);
    size.AddAddress("DNS2 = ", r.dwDns2);
    if (size.total > kLongestText) size.fits = false;
    return size;
}

std::optional<sim::Ipv4> Changed(std::uint32_t address) {
    if (address == kUnchanged) return std::nullopt;
    return address;
}

// A module reads the request back to the record's values.
void CheckParsedBack(const std::string& text, const TOLM_ConfigureRequestType& r) {
    const auto parsed = sim::ParseConfigureRequest(text);
    Require(parsed.has_value(), "a composed request parses back");
    Require(std::memcmp(parsed->mac.data(), r.abMacId, TOLM_MAC_SIZE) == 0,
            "a composed request keeps its MAC");
    const std::string_view password = Text(r.szPassword);
    Require(password.empty() ? !parsed->password : parsed->password == password,
            "a composed request keeps its password");
    Require(r.bChangePassword == 1 ? parsed->new_password == Text(r.szNewPassword)
                                   : !parsed->new_password,
            "a composed request keeps its new password");
    Require(parsed->ip == Changed(r.dwIpAddress) && parsed->subnet == Changed(r.dwSubnetMask) &&
                parsed->gateway == Changed(r.dwGateway) && parsed->dns1 == Changed(r.dwDns1) &&
                parsed->dns2 == Changed(r.dwDns2),
            "a composed request keeps its addresses");
    const std::optional<bool> dhcp =
        r.bDhcpEnabled == 0 ? std::optional(false)
                            : (r.bDhcpEnabled == 1 ? std::optional(true) : std::nullopt);
    Require(parsed->dhcp == dhcp, "a composed request keeps its DHCP setting");
    Require(parsed->host_name == Text(r.szHostName), "a composed request keeps its host name");
}

}  // namespace

void CheckComposedRequest(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const TOLM_ConfigureRequestType request = RequestFrom(input);
    const Size expected = ExpectedSize(request);
    const std::optional<std::string> text = tp::ComposeConfigureRequest(request);
    Require(text.has_value() == expected.fits, "a request is refused only when it does not fit");
    if (!text) return;
    Require(text->size() <= kLongestText, "a composed request is never longer than 399 characters");
    Require(text->size() == expected.total, "a composed request is as long as its pieces");
    Require(text->find('\0') == std::string::npos, "a composed request holds no NUL");
    Require(tp::Classify(*text) == tp::DatagramKind::kConfigureRequest,
            "a composed request, heard back, is dropped as a request");
    // A ';' in a text would end its piece early: a module could not read it back.
    const bool sends_new_password = request.bChangePassword == 1;
    for (std::string_view field : {Text(request.szPassword), Text(request.szHostName),
                                   sends_new_password ? Text(request.szNewPassword) : ""})
        if (field.find(';') != std::string_view::npos) return;
    CheckParsedBack(*text, request);
}

}  // namespace tolm::fuzz
