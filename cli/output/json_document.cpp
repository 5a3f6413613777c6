#include "cli/output/json_document.h"

namespace tolm::linkora {

nlohmann::ordered_json Document(const nlohmann::ordered_json& fields, int schema_version) {
    nlohmann::ordered_json document{{"schema_version", schema_version}};
    document.update(fields);
    return document;
}

nlohmann::ordered_json SettingJson(SettingField field, const std::optional<std::string>& text) {
    if (!text) return nullptr;
    // SettingText writes DHCP as "On" or "Off".
    if (field == SettingField::kDhcp) return *text == "On";
    return *text;
}

nlohmann::ordered_json ChangeJson(const FieldChange& change) {
    return {{"field", FieldKey(change.field)},
            {"before", SettingJson(change.field, change.before)},
            {"after", SettingJson(change.field, change.after)}};
}

std::string JsonText(const nlohmann::ordered_json& value, int indent) {
    return value.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace tolm::linkora
