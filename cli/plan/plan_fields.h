// The fields of a plan as its CSV headings and JSON keys name them, and the
// reading of one value: the same rules for a CSV cell and a JSON string.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/plan/plan.h"

namespace tolm::linkora {

// A heading or key: as scan's CSV names it ("SN", "Host name") or as its
// JSON does ("subnet_mask", "host_name"), in any letter case.
bool IsMacName(std::string_view name);
std::optional<SettingField> FieldNamed(std::string_view name);

// Empty when the text reads as a MAC, else what is wrong with it.
std::string ReadMac(std::string_view text, client::Mac& mac);

// Reads the text into the field: "" and "N/A" leave it unchanged; DHCP reads
// On or Off in any case. Empty when it reads, else what is wrong with it.
std::string ReadSetting(SettingField field, std::string_view text, ModuleSettings& settings);

// Blanks and tabs around a cell are not part of its value.
std::string_view Trimmed(std::string_view text);

}  // namespace tolm::linkora
