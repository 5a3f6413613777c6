#include "cli/plan/plan_fields.h"

#include <vector>

#include "client/configure_request.h"

namespace tolm::linkora {
namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// The lower-case text against a name in any case, without a copy: every key
// of a big plan is looked up.
bool SameLetters(std::string_view lower, std::string_view name) {
    if (lower.size() != name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c =
            name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] - 'A' + 'a') : name[i];
        if (c != lower[i]) return false;
    }
    return true;
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// Splits at each of the separators; the pieces, or nothing when a piece is
// not digits.
std::optional<std::vector<std::string_view>> Numbers(std::string_view text,
                                                     std::string_view separators) {
    std::vector<std::string_view> pieces;
    while (true) {
        const std::size_t at = text.find_first_of(separators);
        if (!AllDigits(text.substr(0, at))) return std::nullopt;
        pieces.push_back(text.substr(0, at));
        if (at == std::string_view::npos) return pieces;
        text.remove_prefix(at + 1);
    }
}

// A year of four digits first or last, or day and month numbers.
bool IsDate(const std::vector<std::string_view>& parts) {
    if (parts.front().size() == 4 || parts.back().size() == 4) return true;
    bool month = false;
    for (const std::string_view part : parts) {
        // Longer runs of digits are no day or month, and may not fit an int.
        if (part.size() > 2) return false;
        const int value = std::stoi(std::string(part));
        if (value > 31) return false;
        month = month || (value >= 1 && value <= 12);
    }
    return month;
}

// What a spreadsheet leaves of an address or MAC it took for a number
// ("1077001", "1.077E+09", "10,77") or a date ("10.07.2001", "2001-07-10",
// with a time or not); nothing when the text is not one.
std::optional<std::string> SpreadsheetValue(std::string_view text) {
    std::string_view date = text.substr(0, text.find(' '));
    const std::string_view time = date.size() < text.size() ? text.substr(date.size() + 1) : "";
    for (const std::string_view separators : {".", "/", "-"}) {
        const auto parts = Numbers(date, separators);
        const auto clock = Numbers(time, ":");
        if (parts && parts->size() == 3 && (time.empty() || (clock && clock->size() <= 3)) &&
            IsDate(*parts))
            return "a date";
    }
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    const std::size_t exponent = text.find_first_of("eE");
    if (exponent != std::string_view::npos) {
        std::string_view power = text.substr(exponent + 1);
        if (!power.empty() && (power.front() == '-' || power.front() == '+'))
            power.remove_prefix(1);
        if (!AllDigits(power)) return std::nullopt;
        text = text.substr(0, exponent);
    }
    const auto parts = Numbers(text, ".,");
    if (parts && parts->size() <= 2) return "a number";
    return std::nullopt;
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

struct NamedColumn {
    const char* name;
    PlanColumn column;
};

constexpr PlanColumn Field(SettingField field) {
    return {PlanColumn::Kind::kField, field};
}
constexpr PlanColumn kMac{PlanColumn::Kind::kMac};
constexpr PlanColumn kIgnored{PlanColumn::Kind::kIgnored};

// scan's CSV heading, its JSON key where it is spelt otherwise, then the
// program's labels.
constexpr NamedColumn kColumnNames[] = {
    {"MAC", kMac},
    {"MAC address", kMac},
    {"IP", Field(SettingField::kIp)},
    {"IP address", Field(SettingField::kIp)},
    {"SN", Field(SettingField::kSubnetMask)},
    {"subnet_mask", Field(SettingField::kSubnetMask)},
    {"Subnet mask", Field(SettingField::kSubnetMask)},
    {"GW", Field(SettingField::kGateway)},
    {"gateway", Field(SettingField::kGateway)},
    {"Default gateway", Field(SettingField::kGateway)},
    {"DHCP", Field(SettingField::kDhcp)},
    {"Host name", Field(SettingField::kHostName)},
    {"host_name", Field(SettingField::kHostName)},
    {"Hostname", Field(SettingField::kHostName)},
    {"DNS1", Field(SettingField::kDns1)},
    {"Primary DNS", Field(SettingField::kDns1)},
    {"DNS2", Field(SettingField::kDns2)},
    {"Secondary DNS", Field(SettingField::kDns2)},
    {"Version", kIgnored},
    {"module_version", kIgnored},
    {"module_version_numbers", kIgnored},
    {"Type", kIgnored},
    {"fb_type", kIgnored},
    {"Password", kIgnored},
    {"Adapter", kIgnored},
    {"Sender", kIgnored},
    {"protocol_version", kIgnored},
};

}  // namespace

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::optional<PlanColumn> ColumnNamed(std::string_view name) {
    name = Trimmed(name);
    if (!name.empty() && name.back() == ':') name = Trimmed(name.substr(0, name.size() - 1));
    const std::string lower = Lower(name);
    for (const NamedColumn& named : kColumnNames)
        if (SameLetters(lower, named.name)) return named.column;
    return std::nullopt;
}

bool IsMacName(std::string_view name) {
    const std::optional<PlanColumn> column = ColumnNamed(name);
    return column && column->kind == PlanColumn::Kind::kMac;
}

std::optional<SettingField> FieldNamed(std::string_view name) {
    const std::optional<PlanColumn> column = ColumnNamed(name);
    if (!column || column->kind != PlanColumn::Kind::kField) return std::nullopt;
    return column->field;
}

std::string KnownColumnNames() {
    std::string planned, ignored;
    for (const NamedColumn& named : kColumnNames) {
        std::string& list = named.column.kind == PlanColumn::Kind::kIgnored ? ignored : planned;
        list += (list.empty() ? "" : ", ") + std::string(named.name);
    }
    return planned + "; read and ignored: " + ignored;
}

std::optional<std::string> SpreadsheetMade(std::string_view text, bool mac) {
    text = Trimmed(text);
    const std::optional<std::string> value = SpreadsheetValue(text);
    if (!value) return std::nullopt;
    return Quoted(text) + " is " + *value + ", not " +
           (mac ? "a MAC address such as 02-00-00-00-00-01" : "an IPv4 address such as 10.77.0.1") +
           ": a spreadsheet turns a cell it takes for a number or a date into one; format the "
           "column as text and type the value again";
}

bool IsNoValue(std::string_view text) {
    text = Trimmed(text);
    return text.empty() || Lower(text) == "n/a";
}

std::string ReadMac(std::string_view text, client::Mac& mac) {
    if (IsNoValue(text)) return kNoMacProblem;
    text = Trimmed(text);
    std::string error;
    const std::optional<client::Mac> read = client::ParseMac(text, &error);
    if (!read) return error;
    mac = *read;
    return {};
}

std::string ReadSetting(SettingField field, std::string_view text, ModuleSettings& s) {
    if (IsNoValue(text)) return {};
    text = Trimmed(text);
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
