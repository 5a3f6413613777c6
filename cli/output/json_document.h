// linkora's JSON documents: every one (scan, check, adapters, each watch
// line, an apply report, each audit line) carries "schema_version" first,
// stamped here and nowhere else.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace tolm::linkora {

// It grows when a reader would have to change.
inline constexpr int kSchemaVersion = 1;

// "schema_version" followed by the fields, in their order.
nlohmann::ordered_json Document(const nlohmann::ordered_json& fields);

// Never throws on bytes that are not UTF-8: they are replaced. indent -1
// writes one line.
std::string JsonText(const nlohmann::ordered_json& value, int indent);

}  // namespace tolm::linkora
