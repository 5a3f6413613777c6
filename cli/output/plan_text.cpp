#include "cli/output/plan_text.h"

#include <algorithm>
#include <vector>

#include "cli/output/csv_text.h"
#include "cli/output/json_document.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;
using json = nlohmann::ordered_json;

std::vector<SettingField> FieldsGiven(const Plan& plan) {
    std::vector<SettingField> fields;
    for (const SettingField field : kSettingFields)
        if (std::any_of(plan.modules.begin(), plan.modules.end(), [&](const PlannedModule& m) {
                return SettingText(m.settings, field).has_value();
            }))
            fields.push_back(field);
    return fields;
}

}  // namespace

std::string PlanCsvText(const Plan& plan) {
    const std::vector<SettingField> fields = FieldsGiven(plan);
    std::vector<std::string> heading = {"MAC"};
    for (const SettingField field : fields) heading.push_back(FieldHeading(field));
    std::string text = CsvLine(heading);
    for (const PlannedModule& module : plan.modules) {
        std::vector<std::string> row = {client::MacText(module.mac.data())};
        for (const SettingField field : fields)
            row.push_back(SettingText(module.settings, field).value_or(""));
        text += CsvLine(row);
    }
    return text;
}

std::string PlanJsonText(const Plan& plan) {
    const std::vector<SettingField> fields = FieldsGiven(plan);
    json modules = json::array();
    for (const PlannedModule& module : plan.modules) {
        json item = {{"mac", client::MacText(module.mac.data())}};
        for (const SettingField field : fields) {
            if (field == SettingField::kDhcp) {
                item[FieldKey(field)] = module.settings.dhcp ? json(*module.settings.dhcp) : json();
                continue;
            }
            const std::optional<std::string> text = SettingText(module.settings, field);
            item[FieldKey(field)] = text ? json(*text) : json();
        }
        modules.push_back(item);
    }
    return JsonText(Document({{"modules", modules}}), 2) + "\n";
}

}  // namespace tolm::linkora
