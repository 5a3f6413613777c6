#include "cli/plan/plan_json.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>

#include "cli/plan/plan_fields.h"

namespace tolm::linkora {
namespace {

using json = nlohmann::json;

// Hands the parser one byte at a time and tells how far it has read, so that
// each event can be placed in the text.
class TellingIterator {
  public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    TellingIterator(const char* at, std::size_t* read) : at_(at), read_(read) {}
    reference operator*() const { return *at_; }
    TellingIterator& operator++() {
        ++at_;
        ++*read_;
        return *this;
    }
    bool operator==(const TellingIterator& other) const { return at_ == other.at_; }
    bool operator!=(const TellingIterator& other) const { return at_ != other.at_; }

  private:
    const char* at_;
    std::size_t* read_;
};

// Where each line begins, so that an offset finds its line by binary search:
// counting from the first byte for every value would take a big plan minutes.
class LineStarts {
  public:
    explicit LineStarts(std::string_view text) : size_(text.size()) {
        for (std::size_t at = text.find('\n'); at != std::string_view::npos;
             at = text.find('\n', at + 1))
            starts_.push_back(at + 1);
    }

    PlanPosition Of(std::size_t offset) const {
        offset = std::min(offset, size_);
        const auto next = std::upper_bound(starts_.begin(), starts_.end(), offset);
        return {static_cast<int>(next - starts_.begin()),
                static_cast<int>(offset - *(next - 1)) + 1};
    }

  private:
    std::vector<std::size_t> starts_{0};
    std::size_t size_;
};

bool IsLiteralByte(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
           c == '+' || c == '.';
}

// Where the token that ends before `end` begins: its opening quote for a
// string (a quote after an odd run of backslashes is escaped), else the first
// byte of the literal or number (after which the parser may have read one).
std::size_t TokenStart(std::string_view text, std::size_t end) {
    std::size_t at = std::min(end, text.size());
    if (at > 0 && text[at - 1] == '"') {
        for (std::size_t quote = at - 1; quote-- > 0;) {
            if (text[quote] != '"') continue;
            std::size_t backslashes = 0;
            while (quote > backslashes && text[quote - 1 - backslashes] == '\\') ++backslashes;
            if (backslashes % 2 == 0) return quote;
        }
        return 0;
    }
    while (at > 0 && !IsLiteralByte(text[at - 1])) --at;
    while (at > 0 && IsLiteralByte(text[at - 1])) --at;
    return at;
}

// Walks the document: the module objects are the elements of the top-level
// array, or of the top-level object's "modules"; everything else is skipped.
class PlanSax {
  public:
    PlanSax(std::string_view text, const std::size_t& read, MacRule rule,
            std::vector<PlannedModule>& modules, std::vector<PlanProblem>& problems)
        : text_(text),
          lines_(text),
          read_(read),
          rule_(rule),
          modules_(modules),
          problems_(problems) {}

    bool null() { return Scalar(nullptr); }
    bool boolean(bool value) { return Scalar(value); }
    bool number_integer(json::number_integer_t value) { return Scalar(value); }
    bool number_unsigned(json::number_unsigned_t value) { return Scalar(value); }
    bool number_float(json::number_float_t value, const std::string&) { return Scalar(value); }
    bool string(std::string& value) { return Scalar(value); }
    bool binary(json::binary_t&) { return Scalar(nullptr); }

    bool start_object(std::size_t) {
        const PlanPosition where = Here(read_ - 1);
        if (depth_ == 0) {
            top_is_object_ = true;
        } else if (InModules() && depth_ == ModulesDepth()) {
            module_ = PlannedModule{};
            module_.where = where;
            mac_ = MacState::kNone;
            module_keys_.clear();
        } else if (InModule()) {
            NotAValue(where);
        } else if (depth_ == 1 && top_is_object_ && key_ == "modules") {
            problems_.push_back({where, "\"modules\" must be an array of module objects"});
        }
        ++depth_;
        return true;
    }

    bool end_object() {
        --depth_;
        if (!InModules() || depth_ != ModulesDepth()) return true;
        // A module without a MAC waits for one that newly answers, where the verb allows it.
        module_.has_mac = mac_ == MacState::kRead;
        if (mac_ == MacState::kRead || (mac_ == MacState::kNone && rule_ == MacRule::kOptional))
            modules_.push_back(module_);
        else if (mac_ == MacState::kNone)
            problems_.push_back(
                {module_.where,
                 "a module without \"mac\": every module of a plan needs its MAC address"});
        return true;
    }

    bool start_array(std::size_t) {
        const PlanPosition where = Here(read_ - 1);
        if (depth_ == 0) {
            modules_at_ = 1;
        } else if (depth_ == 1 && top_is_object_ && key_ == "modules") {
            modules_at_ = 2;
        } else if (InModule()) {
            NotAValue(where);
        } else if (InModules() && depth_ == ModulesDepth()) {
            problems_.push_back({where, "a module must be an object such as {\"mac\": ...}"});
        }
        ++depth_;
        return true;
    }

    bool end_array() {
        --depth_;
        if (depth_ + 1 == static_cast<std::size_t>(modules_at_)) modules_done_ = true;
        return true;
    }

    bool key(std::string& name) {
        key_ = name;
        const bool top = depth_ == 1 && top_is_object_;
        if (!top && !InModule()) return true;
        const PlanPosition where = Here(TokenStart(text_, read_));
        const std::optional<PlanColumn> column = ColumnNamed(name);
        if (InModule() && !column) {
            problems_.push_back({where, "unknown key \"" + name +
                                            "\": the keys known (in any letter case) are " +
                                            KnownColumnNames()});
            key_.clear();  // its value is not read
            return true;
        }
        // "ip" and "IP address" give one field: the same key twice.
        std::string same = Lowered(name);
        if (column && column->kind == PlanColumn::Kind::kMac) same = "mac";
        if (column && column->kind == PlanColumn::Kind::kField) same = FieldKey(column->field);
        auto& seen = top ? top_keys_ : module_keys_;
        if (const auto [first, added] = seen.emplace(same, where); !added) {
            problems_.push_back({where, "the key \"" + name + "\" is given twice (first at " +
                                            std::to_string(first->second.line) + ":" +
                                            std::to_string(first->second.column) + ")"});
            key_.clear();  // the first value stands
        }
        return true;
    }

    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& e) {
        std::string message = e.what();
        // Our own position stands in front of the message.
        const std::size_t colon = message.find(": ");
        if (message.find("parse error") != std::string::npos && colon != std::string::npos)
            message = message.substr(colon + 2);
        problems_.push_back({Here(position == 0 ? 0 : position - 1), "not JSON: " + message});
        return false;
    }

    // After the parse: a document that holds no module list says so.
    void Finish() {
        if (problems_.empty() && modules_at_ == 0)
            problems_.push_back({PlanPosition{},
                                 "a JSON plan is a `linkora scan --format json` "
                                 "document (with \"modules\") or an array of "
                                 "module objects"});
    }

  private:
    bool InModules() const { return modules_at_ != 0 && !modules_done_; }
    std::size_t ModulesDepth() const { return static_cast<std::size_t>(modules_at_); }
    bool InModule() const { return InModules() && depth_ == ModulesDepth() + 1; }
    PlanPosition Here(std::size_t offset) const { return lines_.Of(offset); }

    static std::string Lowered(std::string text) {
        for (char& c : text)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        return text;
    }

    void NotAValue(const PlanPosition& where) {
        if (IsMacName(key_) || FieldNamed(key_))
            problems_.push_back({where, "\"" + key_ + "\" must be a text or null"});
    }

    template <typename Value>
    bool Scalar(const Value& value) {
        const PlanPosition where = Here(TokenStart(text_, read_));
        if (InModules() && depth_ == ModulesDepth()) {
            problems_.push_back({where, "a module must be an object such as {\"mac\": ...}"});
            return true;
        }
        if (!InModule()) return true;
        const json item(value);
        if (IsMacName(key_)) {
            module_.where = where;
            const bool no_value =
                item.is_null() || (item.is_string() && IsNoValue(item.get<std::string>()));
            if (no_value && rule_ == MacRule::kOptional) return true;
            const std::string why = item.is_string()
                                        ? ReadMac(item.get<std::string>(), module_.mac)
                                        : "\"mac\" must be a text such as \"02-00-00-00-00-01\"";
            mac_ = why.empty() ? MacState::kRead : MacState::kBad;
            if (!why.empty()) problems_.push_back({where, why});
            return true;
        }
        const std::optional<SettingField> field = FieldNamed(key_);
        if (!field || item.is_null()) return true;
        std::string why;
        if (*field == SettingField::kDhcp && item.is_boolean())
            module_.settings.dhcp = item.get<bool>();
        else if (item.is_string())
            why = ReadSetting(*field, item.get<std::string>(), module_.settings);
        else
            why = "\"" + key_ + "\" must be " +
                  (*field == SettingField::kDhcp ? "true, false" : "a text") + " or null";
        if (!why.empty()) problems_.push_back({where, why});
        return true;
    }

    std::string_view text_;
    LineStarts lines_;
    const std::size_t& read_;
    MacRule rule_;
    std::vector<PlannedModule>& modules_;
    std::vector<PlanProblem>& problems_;
    std::size_t depth_ = 0;
    bool top_is_object_ = false;
    int modules_at_ = 0;  // depth of the module objects; 0 before their array
    bool modules_done_ = false;
    std::string key_;  // empty for a key whose value is not read
    std::map<std::string, PlanPosition> top_keys_, module_keys_;
    PlannedModule module_;
    enum class MacState { kNone, kRead, kBad } mac_ = MacState::kNone;
};

}  // namespace

void ReadJsonPlan(std::string_view text, MacRule rule, std::vector<PlannedModule>& modules,
                  std::vector<PlanProblem>& problems) {
    std::size_t read = 0;
    PlanSax sax(text, read, rule, modules, problems);
    json::sax_parse(TellingIterator(text.data(), &read),
                    TellingIterator(text.data() + text.size(), &read), &sax);
    sax.Finish();
}

}  // namespace tolm::linkora
