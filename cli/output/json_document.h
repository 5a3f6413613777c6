// linkora's JSON documents: every one (scan, check, adapters, each watch
// line, an apply report, each audit line) carries "schema_version" first,
// stamped here and nowhere else, and writes a setting's value one way.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "cli/plan/module_settings.h"

namespace tolm::linkora {

// Each document's own version, which grows when a reader of that document
// would have to change; a new document starts at 1. Version 2 of these
// writes DHCP as true or false where version 1 wrote "On" or "Off".
inline constexpr int kCheckSchemaVersion = 2;
inline constexpr int kReportSchemaVersion = 2;
inline constexpr int kAuditSchemaVersion = 2;

// "schema_version" followed by the fields, in their order.
nlohmann::ordered_json Document(const nlohmann::ordered_json& fields, int schema_version = 1);

// A setting's value as every document writes it: DHCP true or false, any
// other its text; null where there is none.
nlohmann::ordered_json SettingJson(SettingField field, const std::optional<std::string>& text);

// One planned change as {"field", "before", "after"}.
nlohmann::ordered_json ChangeJson(const FieldChange& change);

// Never throws on bytes that are not UTF-8: they are replaced. indent -1
// writes one line.
std::string JsonText(const nlohmann::ordered_json& value, int indent);

}  // namespace tolm::linkora
