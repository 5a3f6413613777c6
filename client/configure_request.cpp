#include "client/configure_request.h"

#include <algorithm>
#include <cstring>

#include "password_rule.h"
#include "protocol/messages.h"
#include "record_text.h"

namespace tolm::client {
namespace {

std::size_t TextLength(const char (&text)[TOLM_TEXT_SIZE]) {
    return FieldText(text).size();
}

// The longest text a piece with this key can carry.
std::size_t TextLimit(std::string_view key) {
    return protocol::kMaxConfigurePiece - key.size() - 1;
}

std::string TooLongText(const char* what, std::size_t length, std::size_t limit) {
    return what + std::string(" is too long: ") + std::to_string(length) + " characters, at most " +
           std::to_string(limit) + " can be sent";
}

bool Fail(std::string* error, std::string why) {
    if (error != nullptr) *error = std::move(why);
    return false;
}

// Checks an address the user gave: the protocol spends 255.255.255.255 on
// "leave unchanged", so it cannot be sent.
bool CheckAddress(const char* what, const std::optional<std::uint32_t>& changed,
                  std::string* error) {
    if (changed && *changed == kUnchangedAddress)
        return Fail(error, std::string(what) + " 255.255.255.255 cannot be sent");
    return true;
}

bool FitsText(std::string_view text) {
    return text.size() < TOLM_TEXT_SIZE && text.find('\0') == std::string_view::npos;
}

}  // namespace

bool CopyText(std::string_view text, char (&field)[TOLM_TEXT_SIZE]) {
    if (!FitsText(text)) return false;
    CopyTextCut(text, field);
    return true;
}

void CopyTextCut(std::string_view text, char (&field)[TOLM_TEXT_SIZE]) {
    const std::string_view kept = text.substr(0, std::min(text.find('\0'), sizeof field - 1));
    std::memset(field, 0, sizeof field);
    std::memcpy(field, kept.data(), kept.size());
}

bool IsLegalHostName(std::string_view name) {
    for (const char c : name) {
        const bool legal =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!legal) return false;
    }
    return true;
}

TOLM_ConfigureRequestType UnchangedRequest() {
    TOLM_ConfigureRequestType r;
    std::memset(&r, 0, sizeof r);
    r.dwIpAddress = r.dwSubnetMask = r.dwGateway = r.dwDns1 = r.dwDns2 = kUnchangedAddress;
    r.bDhcpEnabled = kDhcpUnchanged;
    return r;
}

std::string WhyTooLong(const TOLM_ConfigureRequestType& r) {
    using protocol::kHostNameKey, protocol::kNewPasswordKey, protocol::kPasswordKey;
    const std::size_t password = TextLength(r.szPassword);
    const std::size_t new_password = TextLength(r.szNewPassword);
    const std::size_t host_name = TextLength(r.szHostName);
    if (password > TextLimit(kPasswordKey))
        return TooLongText("the password", password, TextLimit(kPasswordKey));
    if (r.bChangePassword == 1 && new_password > TextLimit(kNewPasswordKey))
        return TooLongText("the new password", new_password, TextLimit(kNewPasswordKey));
    if (host_name > TextLimit(kHostNameKey))
        return TooLongText("the host name", host_name, TextLimit(kHostNameKey));
    const std::size_t total = protocol::ConfigureRequestText(r).size();
    if (total > protocol::kMaxConfigureText)
        return "the request is too long: " + std::to_string(total) + " characters, at most " +
               std::to_string(protocol::kMaxConfigureText) +
               " can be sent; shorten the passwords or the host name";
    return {};
}

TOLM_ConfigureRequestType ComposeRequest(const TOLM_ModuleScanResponseType& module,
                                         const ConfigureChanges& changes) {
    TOLM_ConfigureRequestType r = UnchangedRequest();
    std::memcpy(r.abMacId, module.abMacId, sizeof r.abMacId);
    r.dwIpAddress = changes.ip_address.value_or(kUnchangedAddress);
    r.dwSubnetMask = changes.subnet_mask.value_or(kUnchangedAddress);
    r.dwGateway = changes.gateway.value_or(kUnchangedAddress);
    r.dwDns1 = changes.dns1.value_or(kUnchangedAddress);
    r.dwDns2 = changes.dns2.value_or(kUnchangedAddress);
    r.bDhcpEnabled = changes.dhcp ? (*changes.dhcp ? 1 : 0) : kDhcpUnchanged;
    const std::string reported = module.bHostNameValid == 1 ? FieldText(module.szHostName) : "";
    CopyTextCut(changes.host_name.value_or(reported), r.szHostName);
    CopyTextCut(changes.password, r.szPassword);
    r.bChangePassword = changes.new_password ? 1 : 0;
    if (changes.new_password) CopyTextCut(*changes.new_password, r.szNewPassword);
    return r;
}

std::optional<TOLM_ConfigureRequestType> BuildConfigureRequest(
    const TOLM_ModuleScanResponseType& module, const ConfigureChanges& changes,
    std::string* error) {
    if (module.bMacIdValid == 0) {
        Fail(error, "the module reported no MAC address, so no request can name it");
        return std::nullopt;
    }
    if (!CheckAddress("the IP address", changes.ip_address, error) ||
        !CheckAddress("the subnet mask", changes.subnet_mask, error) ||
        !CheckAddress("the gateway", changes.gateway, error) ||
        !CheckAddress("the primary DNS server", changes.dns1, error) ||
        !CheckAddress("the secondary DNS server", changes.dns2, error))
        return std::nullopt;
    if (!changes.host_name && module.bHostNameValid != 1) {
        Fail(error,
             "the module reported no host name, and every request sends one (an empty one "
             "would erase it): give the host name to set");
        return std::nullopt;
    }
    const std::string host_name = changes.host_name.value_or(FieldText(module.szHostName));
    if (!IsLegalHostName(host_name)) {
        Fail(error, changes.host_name
                        ? "illegal host name \"" + host_name +
                              "\": only letters, digits and '_' are allowed"
                        : "the module's host name \"" + host_name +
                              "\" holds characters other than letters, digits and '_', so it "
                              "cannot be sent again: give a new one");
        return std::nullopt;
    }
    if (!FitsText(host_name) || !FitsText(changes.password) ||
        (changes.new_password && !FitsText(*changes.new_password))) {
        Fail(error, "a text holds more than 127 characters or a NUL");
        return std::nullopt;
    }
    std::string why = WhyPasswordCannotBeSent(changes.password, "the password");
    if (why.empty() && changes.new_password)
        why = WhyPasswordCannotBeSent(*changes.new_password, "the new password");
    if (!why.empty()) {
        Fail(error, std::move(why));
        return std::nullopt;
    }
    const TOLM_ConfigureRequestType r = ComposeRequest(module, changes);
    if (std::string why = WhyTooLong(r); !why.empty()) {
        Fail(error, std::move(why));
        return std::nullopt;
    }
    return r;
}

std::string MaskedRequestText(const TOLM_ConfigureRequestType& request) {
    TOLM_ConfigureRequestType masked = request;
    if (FieldText(masked.szPassword).size() > 0) CopyText("****", masked.szPassword);
    // An empty new password shows as it is: it removes the protection.
    if (masked.bChangePassword == 1 && FieldText(masked.szNewPassword).size() > 0)
        CopyText("****", masked.szNewPassword);
    return protocol::ConfigureRequestText(masked);
}

}  // namespace tolm::client
