#include "cli/plan/module_settings.h"

#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

std::optional<std::uint32_t> Address(std::uint8_t flag, std::uint32_t value) {
    if (flag != 1) return std::nullopt;
    return value;
}

// A planned value overrides; one equal to the reported value changes nothing.
template <typename Value>
std::optional<Value> Differing(const std::optional<Value>& reported,
                               const std::optional<Value>& planned) {
    if (!planned || planned == reported) return std::nullopt;
    return planned;
}

}  // namespace

const char* FieldKey(SettingField field) {
    switch (field) {
        case SettingField::kIp:
            return "ip";
        case SettingField::kSubnetMask:
            return "subnet_mask";
        case SettingField::kGateway:
            return "gateway";
        case SettingField::kDhcp:
            return "dhcp";
        case SettingField::kHostName:
            return "host_name";
        case SettingField::kDns1:
            return "dns1";
        case SettingField::kDns2:
            return "dns2";
    }
    return "";
}

const char* FieldHeading(SettingField field) {
    switch (field) {
        case SettingField::kIp:
            return "IP";
        case SettingField::kSubnetMask:
            return "SN";
        case SettingField::kGateway:
            return "GW";
        case SettingField::kDhcp:
            return "DHCP";
        case SettingField::kHostName:
            return "Host name";
        case SettingField::kDns1:
            return "DNS1";
        case SettingField::kDns2:
            return "DNS2";
    }
    return "";
}

std::optional<std::string> SettingText(const ModuleSettings& s, SettingField field) {
    const auto address = [](const std::optional<std::uint32_t>& value) {
        return value ? std::optional<std::string>(client::IpText(*value)) : std::nullopt;
    };
    switch (field) {
        case SettingField::kIp:
            return address(s.ip);
        case SettingField::kSubnetMask:
            return address(s.subnet_mask);
        case SettingField::kGateway:
            return address(s.gateway);
        case SettingField::kDhcp:
            return s.dhcp ? std::optional<std::string>(*s.dhcp ? "On" : "Off") : std::nullopt;
        case SettingField::kHostName:
            return s.host_name;
        case SettingField::kDns1:
            return address(s.dns1);
        case SettingField::kDns2:
            return address(s.dns2);
    }
    return std::nullopt;
}

ModuleSettings ReportedSettings(const TOLM_ModuleScanResponseType& r) {
    ModuleSettings s;
    s.ip = Address(r.bIpAddressValid, r.dwIpAddress);
    s.subnet_mask = Address(r.bSubnetMaskValid, r.dwSubnetMask);
    s.gateway = Address(r.bGatewayValid, r.dwGateway);
    s.dns1 = Address(r.bDns1Valid, r.dwDns1);
    s.dns2 = Address(r.bDns2Valid, r.dwDns2);
    if (r.bDhcpValid != 0 && r.bDhcpEnabled <= 1) s.dhcp = r.bDhcpEnabled == 1;
    if (r.bHostNameValid == 1) s.host_name = client::FieldText(r.szHostName);
    return s;
}

ModuleSettings Overlay(const ModuleSettings& reported, const ModuleSettings& planned) {
    ModuleSettings s = reported;
    if (planned.ip) s.ip = planned.ip;
    if (planned.subnet_mask) s.subnet_mask = planned.subnet_mask;
    if (planned.gateway) s.gateway = planned.gateway;
    if (planned.dns1) s.dns1 = planned.dns1;
    if (planned.dns2) s.dns2 = planned.dns2;
    if (planned.dhcp) s.dhcp = planned.dhcp;
    if (planned.host_name) s.host_name = planned.host_name;
    return s;
}

std::vector<FieldChange> Changes(const ModuleSettings& reported, const ModuleSettings& planned) {
    std::vector<FieldChange> changes;
    for (const SettingField field : kSettingFields) {
        const std::optional<std::string> after = SettingText(planned, field);
        const std::optional<std::string> before = SettingText(reported, field);
        if (after && after != before) changes.push_back({field, before, *after});
    }
    return changes;
}

std::string ChangesText(const std::vector<FieldChange>& changes) {
    std::string text;
    for (const FieldChange& c : changes)
        text += (text.empty() ? "" : ", ") + std::string(FieldHeading(c.field)) + ": " +
                c.before.value_or(client::kNotAvailable) + " -> " + c.after;
    return text;
}

client::ConfigureChanges ChangesToSend(const ModuleSettings& reported,
                                       const ModuleSettings& planned) {
    client::ConfigureChanges c;
    c.ip_address = Differing(reported.ip, planned.ip);
    c.subnet_mask = Differing(reported.subnet_mask, planned.subnet_mask);
    c.gateway = Differing(reported.gateway, planned.gateway);
    c.dns1 = Differing(reported.dns1, planned.dns1);
    c.dns2 = Differing(reported.dns2, planned.dns2);
    c.dhcp = Differing(reported.dhcp, planned.dhcp);
    c.host_name = Differing(reported.host_name, planned.host_name);
    return c;
}

ModuleSettings SettingsOf(const client::ConfigureChanges& c) {
    ModuleSettings s;
    s.ip = c.ip_address;
    s.subnet_mask = c.subnet_mask;
    s.gateway = c.gateway;
    s.dns1 = c.dns1;
    s.dns2 = c.dns2;
    s.dhcp = c.dhcp;
    s.host_name = c.host_name;
    return s;
}

}  // namespace tolm::linkora
