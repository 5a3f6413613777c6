// The settings a plan gives a module and a scan reports, field by field:
// nothing where the plan leaves a field unchanged or the module did not
// report it. What differs between the two is what a request must carry.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "client/configure_request.h"
#include "tolm.h"

namespace tolm::linkora {

struct ModuleSettings {
    std::optional<std::uint32_t> ip, subnet_mask, gateway, dns1, dns2;
    std::optional<bool> dhcp;
    std::optional<std::string> host_name;
};

enum class SettingField { kIp, kSubnetMask, kGateway, kDhcp, kHostName, kDns1, kDns2 };
inline constexpr std::array<SettingField, 7> kSettingFields = {
    SettingField::kIp,       SettingField::kSubnetMask, SettingField::kGateway, SettingField::kDhcp,
    SettingField::kHostName, SettingField::kDns1,       SettingField::kDns2};

// The key of scan's JSON ("subnet_mask") and the heading of its CSV ("SN").
const char* FieldKey(SettingField field);
const char* FieldHeading(SettingField field);

// The field's value as scan writes it ("10.77.0.1", "On", "press_1");
// nothing when it is not set.
std::optional<std::string> SettingText(const ModuleSettings& settings, SettingField field);

// What the record reports; a DHCP state that is neither on nor off is none.
ModuleSettings ReportedSettings(const TOLM_ModuleScanResponseType& record);

// The planned values over the reported ones: the module once the plan holds.
ModuleSettings Overlay(const ModuleSettings& reported, const ModuleSettings& planned);

struct FieldChange {
    SettingField field;
    std::optional<std::string> before;  // nothing when the module did not report it
    std::string after;
};

// The planned fields whose values the module does not report, in field order.
std::vector<FieldChange> Changes(const ModuleSettings& reported, const ModuleSettings& planned);
// "IP: 10.77.0.101 -> 10.77.0.121, Host name: press_1 -> cell_1"; "" for none.
std::string ChangesText(const std::vector<FieldChange>& changes);

// Those changes as a request carries them (passwords not filled in).
client::ConfigureChanges ChangesToSend(const ModuleSettings& reported,
                                       const ModuleSettings& planned);
// What a request was asked to change, as settings.
ModuleSettings SettingsOf(const client::ConfigureChanges& changes);

}  // namespace tolm::linkora
