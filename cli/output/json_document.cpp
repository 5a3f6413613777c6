#include "cli/output/json_document.h"

namespace tolm::linkora {

nlohmann::ordered_json Document(const nlohmann::ordered_json& fields) {
    nlohmann::ordered_json document{{"schema_version", kSchemaVersion}};
    document.update(fields);
    return document;
}

std::string JsonText(const nlohmann::ordered_json& value, int indent) {
    return value.dump(indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace tolm::linkora
