#include "cli/plan/plan_fields.h"

#include "client/configure_request.h"

namespace tolm::linkora {
namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string ReadAddress(std::string_view text, std::optional<std::uint32_t>& field) {
    std::string error;
    const std::optional<std::uint32_t> address = client::ParseIpv4(text, &error);
    if (!address) return error;
    // The protocol spends this address on "leave unchanged".
    if (*address == client::kUnchangedAddress)
        return "255.255.255.255 cannot be sent (it means: unchanged)";
    field = address;
    return {};
}

std::string ReadHostName(std::string_view text, std::optional<std::string>& field) {
    if (text.find(';') != std::string_view::npos)
        return "the host name " + Quoted(text) +
               " holds ';', which the protocol cannot carry: it ends a piece of the request";
    if (!client::IsLegalHostName(text))
        return "illegal host name " + Quoted(text) + ": only letters, digits and '_' are allowed";
    TOLM_ConfigureRequestType request = client::UnchangedRequest();
    if (!client::CopyText(text, request.szHostName))
        return "the host name is too long: " + std::to_string(text.size()) +
               " characters, a record holds at most 127";
    if (std::string why = client::WhyTooLong(request); !why.empty()) return why;
    field = std::string(text);
    return {};
}

}  // namespace

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool IsMacName(std::string_view name) {
    return Lower(Trimmed(name)) == "mac";
}

std::optional<SettingField> FieldNamed(std::string_view name) {
    const std::string lower = Lower(Trimmed(name));
    for (const SettingField field : kSettingFields)
        if (lower == Lower(FieldKey(field)) || lower == Lower(FieldHeading(field))) return field;
    return std::nullopt;
}

std::string ReadMac(std::string_view text, client::Mac& mac) {
    text = Trimmed(text);
    if (text.empty() || Lower(text) == "n/a")
        return "no MAC address: every module of a plan needs one";
    std::string error;
    const std::optional<client::Mac> read = client::ParseMac(text, &error);
    if (!read) return error;
    mac = *read;
    return {};
}

std::string ReadSetting(SettingField field, std::string_view text, ModuleSettings& s) {
    text = Trimmed(text);
    if (text.empty() || Lower(text) == "n/a") return {};
    switch (field) {
        case SettingField::kIp:
            return ReadAddress(text, s.ip);
        case SettingField::kSubnetMask:
            return ReadAddress(text, s.subnet_mask);
        case SettingField::kGateway:
            return ReadAddress(text, s.gateway);
        case SettingField::kDns1:
            return ReadAddress(text, s.dns1);
        case SettingField::kDns2:
            return ReadAddress(text, s.dns2);
        case SettingField::kHostName:
            return ReadHostName(text, s.host_name);
        case SettingField::kDhcp: {
            const std::string word = Lower(text);
            if (word != "on" && word != "off")
                return "unknown DHCP word " + Quoted(text) + ": On or Off is needed";
            s.dhcp = word == "on";
            return {};
        }
    }
    return {};
}

}  // namespace tolm::linkora
