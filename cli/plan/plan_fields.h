// The fields of a plan as its CSV headings and JSON keys name them, and the
// reading of one value: the same rules for a CSV cell and a JSON string.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "cli/plan/plan.h"

namespace tolm::linkora {

// What a CSV heading or JSON key names: the MAC, a field, or a column that
// linkora writes but does not plan (Version, Type, Password, Adapter...).
struct PlanColumn {
    enum class Kind { kMac, kField, kIgnored } kind = Kind::kIgnored;
    SettingField field = SettingField::kIp;  // for kField
};

// As scan's CSV names it ("SN", "Host name"), as its JSON does
// ("subnet_mask", "host_name") or as the program labels it ("Subnet mask:"),
// in any letter case, blanks around and a trailing ':' not counted; nothing
// for any other name.
std::optional<PlanColumn> ColumnNamed(std::string_view name);
bool IsMacName(std::string_view name);
std::optional<SettingField> FieldNamed(std::string_view name);

// Every name ColumnNamed knows, for a message about one it does not.
std::string KnownColumnNames();

// "" and "N/A" (blanks around not counted): no value, the field unchanged.
bool IsNoValue(std::string_view text);

inline constexpr const char* kNoMacProblem = "no MAC address: every module of a plan needs one";

// Empty when the text reads as a MAC, else what is wrong with it.
std::string ReadMac(std::string_view text, client::Mac& mac);

// Reads the text into the field: "" and "N/A" leave it unchanged; DHCP reads
// On or Off in any case. Empty when it reads, else what is wrong with it.
std::string ReadSetting(SettingField field, std::string_view text, ModuleSettings& settings);

// For a CSV cell of a MAC or address that does not read: what a spreadsheet
// made of it when it took it for a number or a date ("1077001",
// "10.07.2001"), with what it holds; nothing when it is not one of those.
std::optional<std::string> SpreadsheetMade(std::string_view text, bool mac);

// Blanks and tabs around a cell are not part of its value.
std::string_view Trimmed(std::string_view text);

}  // namespace tolm::linkora
