#include "received_datagram.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "protocol/messages.h"
#include "require.h"

namespace tolm::fuzz {
namespace {

namespace tp = tolm::protocol;

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = LowerAscii(c);
    return lower;
}

// The same text with the case of every ASCII letter turned round.
std::string CaseFlipped(std::string_view text) {
    std::string flipped(text);
    for (char& c : flipped) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return flipped;
}

bool StartsWithLower(std::string_view text, std::string_view lower_prefix) {
    if (text.size() < lower_prefix.size()) return false;
    for (std::size_t i = 0; i < lower_prefix.size(); ++i)
        if (LowerAscii(text[i]) != lower_prefix[i]) return false;
    return true;
}

// The kind the text's beginning asks for, found apart from the library's code:
// the literals in the order they are tried, over their full length.
tp::DatagramKind ExpectedKind(std::string_view text) {
    struct Prefix {
        std::string_view lower;
        tp::DatagramKind kind;
    };
    constexpr Prefix kPrefixes[] = {
        {"reconfigured:", tp::DatagramKind::kReconfigured},
        {"invalid password:", tp::DatagramKind::kInvalidPassword},
        {"module scan", tp::DatagramKind::kScanRequest},
        {"configure:", tp::DatagramKind::kConfigureRequest},
    };
    for (const Prefix& prefix : kPrefixes)
        if (StartsWithLower(text, prefix.lower)) return prefix.kind;
    return tp::DatagramKind::kScanResponse;
}

template <typename T>
std::span<const std::uint8_t> Bytes(const T& member) {
    return {reinterpret_cast<const std::uint8_t*>(&member), sizeof member};
}

void CheckField(std::uint8_t flag, std::initializer_list<std::span<const std::uint8_t>> parts) {
    Require(flag == 0 || flag == 1, "a presence flag is 0 or 1");
    if (flag == 1) return;
    for (std::span<const std::uint8_t> part : parts)
        for (std::uint8_t byte : part)
            Require(byte == 0xFF, "a field whose flag is 0 keeps its 0xFF bytes");
}

void CheckTextField(std::uint8_t flag, const char (&text)[TOLM_TEXT_SIZE]) {
    CheckField(flag, {Bytes(text)});
    if (flag == 0) return;
    const void* nul = std::memchr(text, '\0', TOLM_TEXT_SIZE);
    Require(nul != nullptr, "a text field whose flag is 1 ends within its 128 bytes");
    Require(std::strchr(text, ';') == nullptr, "a text value ends before its ';'");
}

void CheckOnOff(std::uint8_t flag, std::uint8_t value) {
    CheckField(flag, {Bytes(value)});
    Require(flag == 0 || value == 0 || value == 1 || value == 0xFF,
            "an on/off value is 0, 1 or 0xFF");
}

void CheckRecord(const TOLM_ModuleScanResponseType& r) {
    CheckField(r.bProtocolVersionValid,
               {Bytes(r.bProtocolVersionMajor), Bytes(r.bProtocolVersionMinor)});
    CheckTextField(r.bFbTypeValid, r.szFbType);
    CheckField(r.bModuleVersionValid, {Bytes(r.bModuleVersionMajor), Bytes(r.bModuleVersionMinor),
                                       Bytes(r.wModuleVersionBuild)});
    CheckField(r.bMacIdValid, {Bytes(r.abMacId)});
    CheckField(r.bIpAddressValid, {Bytes(r.dwIpAddress)});
    CheckField(r.bSubnetMaskValid, {Bytes(r.dwSubnetMask)});
    CheckField(r.bGatewayValid, {Bytes(r.dwGateway)});
    CheckOnOff(r.bDhcpValid, r.bDhcpEnabled);
    CheckOnOff(r.bPswdValid, r.bPswdEnabled);
    CheckTextField(r.bHostNameValid, r.szHostName);
    CheckField(r.bDns1Valid, {Bytes(r.dwDns1)});
    CheckField(r.bDns2Valid, {Bytes(r.dwDns2)});
}

// The record's members in order, the text fields in lower case: equal for two
// texts that differ only in the case of their letters. Padding is left out.
std::string CaseBlindBytes(const TOLM_ModuleScanResponseType& r) {
    std::string out;
    out.reserve(sizeof r);
    auto add = [&out](const auto& member) {
        out.append(reinterpret_cast<const char*>(&member), sizeof member);
    };
    auto add_text = [&out](const char(&text)[TOLM_TEXT_SIZE]) {
        for (char c : text) out += LowerAscii(c);
    };
    add(r.bProtocolVersionMajor);
    add(r.bProtocolVersionMinor);
    add(r.bProtocolVersionValid);
    add_text(r.szFbType);
    add(r.bFbTypeValid);
    add(r.bModuleVersionMajor);
    add(r.bModuleVersionMinor);
    add(r.wModuleVersionBuild);
    add(r.bModuleVersionValid);
    add(r.abMacId);
    add(r.bMacIdValid);
    add(r.dwIpAddress);
    add(r.bIpAddressValid);
    add(r.dwSubnetMask);
    add(r.bSubnetMaskValid);
    add(r.dwGateway);
    add(r.bGatewayValid);
    add(r.bDhcpEnabled);
    add(r.bDhcpValid);
    add(r.bPswdEnabled);
    add(r.bPswdValid);
    add_text(r.szHostName);
    add(r.bHostNameValid);
    add(r.dwDns1);
    add(r.bDns1Valid);
    add(r.dwDns2);
    add(r.bDns2Valid);
    return out;
}

void CheckInvalidPassword(std::string_view text, std::string_view flipped) {
    const tp::MacAddress mac = tp::ParseInvalidPassword(text);
    Require(tp::ParseInvalidPassword(flipped) == mac, "an invalid-password MAC is read case-blind");
    if (Lower(text).find("invalid password: ") == std::string::npos)
        Require(mac == tp::MacAddress{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
                "without its key an invalid-password MAC stays FF-FF-FF-FF-FF-FF");
}

}  // namespace

void CheckReceivedDatagram(const char* datagram, std::size_t size) {
    const std::string_view text = tp::DatagramText(datagram, size);
    Require(text.data() == datagram && text.size() <= size &&
                text.find('\0') == std::string_view::npos &&
                (text.size() == size || datagram[text.size()] == '\0'),
            "a datagram's text ends at its first NUL or at its end");

    const tp::DatagramKind kind = tp::Classify(text);
    Require(kind == ExpectedKind(text), "classification follows the text's beginning");
    const std::string flipped = CaseFlipped(text);
    Require(tp::Classify(flipped) == kind, "classification is case-blind");

    if (kind == tp::DatagramKind::kInvalidPassword) CheckInvalidPassword(text, flipped);
    if (kind != tp::DatagramKind::kScanResponse) return;
    // Only here is a record made: never for a request from a tool.
    const TOLM_ModuleScanResponseType record = tp::ParseScanResponse(text);
    CheckRecord(record);
    Require(CaseBlindBytes(tp::ParseScanResponse(flipped)) == CaseBlindBytes(record),
            "a scan response is parsed case-blind but for its texts' letters");
}

}  // namespace tolm::fuzz
