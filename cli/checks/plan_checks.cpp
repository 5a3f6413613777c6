#include "cli/checks/plan_checks.h"

#include <algorithm>
#include <bitset>
#include <map>

#include "cli/checks/address_handover.h"
#include "cli/output/json_document.h"
#include "cli/output/scan_report.h"
#include "cli/plan/module_settings.h"
#include "client/address_text.h"
#include "client/configure_request.h"
#include "client/request_rule.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

using json = nlohmann::ordered_json;
namespace client = tolm::client;

// One module as the checks see it: what it reports (nothing when it did
// not answer), what the plan gives it, and the two together.
struct Subject {
    std::string mac;
    const Answer* answer = nullptr;
    const PlannedModule* planned = nullptr;
    ModuleSettings reported;
    ModuleSettings final;
};

bool Planned(const Subject& s, SettingField field) {
    return s.planned != nullptr && SettingText(s.planned->settings, field).has_value();
}

// Once the plan switches DHCP on, the address is the server's to give.
bool AddressSettled(const Subject& s) {
    return !(Planned(s, SettingField::kDhcp) && s.final.dhcp == true && s.reported.dhcp != true);
}

const char* Verb(bool planned) {
    return planned ? "is planned to get" : "reports";
}

std::string NetText(std::uint32_t network, std::uint32_t mask) {
    return client::IpText(network) + "/" + std::to_string(std::bitset<32>(mask).count());
}

std::string Listed(const std::vector<std::string>& macs) {
    std::string text;
    for (std::size_t i = 0; i < macs.size(); ++i)
        text += (i == 0 ? "" : i + 1 == macs.size() ? " and " : ", ") + macs[i];
    return text;
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

class Checker {
  public:
    Checker(const ScanView& scan, const Plan* plan) : scan_(scan), plan_(plan) {
        for (const Answer& answer : scan.modules) {
            Subject s;
            s.mac = client::MacText(answer.record.abMacId);
            s.answer = &answer;
            s.reported = ReportedSettings(answer.record);
            subjects_.push_back(s);
        }
        if (plan == nullptr) {
            for (Subject& s : subjects_) s.final = s.reported;
            return;
        }
        // By MAC, so that a plan of many thousand modules takes no longer than its scan.
        std::map<std::string, std::size_t> subject_of;
        for (std::size_t i = 0; i < subjects_.size(); ++i) subject_of.emplace(subjects_[i].mac, i);
        for (const PlannedModule& p : plan->modules) {
            const std::string mac = client::MacText(p.mac.data());
            planned_lines_[mac].push_back(p.where.line);
            const auto [found, added] = subject_of.emplace(mac, subjects_.size());
            if (added) {
                Subject s;
                s.mac = mac;
                subjects_.push_back(s);
            }
            Subject& subject = subjects_[found->second];
            if (subject.planned == nullptr) subject.planned = &p;
        }
        for (Subject& s : subjects_)
            s.final = s.planned != nullptr ? Overlay(s.reported, s.planned->settings) : s.reported;
    }

    std::vector<Finding> Run() {
        PlanTwice();
        if (plan_ != nullptr)
            for (const PlannedModule& p : plan_->modules) PlansNothing(p);
        for (const Conflict& conflict : scan_.conflicts) ConflictingAnswers(conflict);
        for (const Subject& s : subjects_) {
            ByTheRule(s);
            if (!AddressSettled(s)) continue;
            Unreachable(s);
        }
        SharedAddresses();
        AddressCycles();
        for (const Subject& s : subjects_) HostNameNeeded(s);
        SharedHostNames();
        if (plan_ != nullptr)
            for (const Subject& s : subjects_) AgainstPlan(s);
        std::stable_sort(
            findings_.begin(), findings_.end(),
            [](const Finding& a, const Finding& b) { return a.severity < b.severity; });
        return std::move(findings_);
    }

  private:
    void Add(const char* kind, Severity severity, std::vector<std::string> macs,
             std::string message, json details = json::object()) {
        findings_.push_back(
            {kind, severity, std::move(macs), std::move(message), std::move(details)});
    }

    void PlanTwice() {
        for (const auto& [mac, lines] : planned_lines_) {
            if (lines.size() < 2) continue;
            std::vector<std::string> numbers;
            for (const int line : lines) numbers.push_back(std::to_string(line));
            Add("duplicate-mac", Severity::kError, {mac},
                mac + " is planned more than once (lines " + Listed(numbers) + ")",
                {{"lines", lines}});
        }
    }

    // A module whose every value is empty, N/A or null: most often a column
    // named otherwise, or values typed into another row.
    void PlansNothing(const PlannedModule& p) {
        for (const SettingField field : kSettingFields)
            if (SettingText(p.settings, field)) return;
        const std::string mac = client::MacText(p.mac.data());
        Add("plans-nothing", Severity::kWarning, {mac},
            mac + " (line " + std::to_string(p.where.line) +
                " of the plan) is given no setting: every value the plan gives it is empty, N/A "
                "or null",
            {{"lines", json::array({p.where.line})}});
    }

    void ConflictingAnswers(const Conflict& conflict) {
        json senders = json::array();
        for (const Answer& answer : conflict.answers) senders.push_back(SenderText(answer));
        Add("conflicting-answers", Severity::kError,
            {client::MacText(conflict.answers.front().record.abMacId)}, ConflictText(conflict),
            {{"senders", senders}});
    }

    // What the one rule for a module's values says of the module as the plan
    // leaves it: every value it will have counts as given, so a fault it
    // reports is found as well as one the plan would bring.
    void ByTheRule(const Subject& s) {
        client::ConfigureChanges given;
        given.ip_address = s.final.ip;
        given.subnet_mask = s.final.subnet_mask;
        given.gateway = s.final.gateway;
        given.dhcp = s.final.dhcp;
        for (const client::RuleFinding& f :
             client::CheckChanges(given, nullptr, scan_.own_addresses)) {
            const std::optional<SettingField> field = SettingOf(f.field);
            // What a module reports it has sent already; only the plan's value could not go.
            if (!field || (f.kind == "unsendable-address" && !Planned(s, *field))) continue;
            const bool planned = Planned(s, *field) ||
                                 (f.kind != "bad-mask" && (Planned(s, SettingField::kIp) ||
                                                           Planned(s, SettingField::kSubnetMask)));
            Add(f.kind.c_str(),
                f.severity == client::RuleSeverity::kError ? Severity::kError : Severity::kWarning,
                {s.mac}, s.mac + (planned ? " (planned): " : ": ") + f.why,
                {{"field", FieldKey(*field)},
                 {"value", SettingText(s.final, *field).value_or("")}});
        }
    }

    // The values check judges by the rule; texts are judged where a request
    // is built.
    static std::optional<SettingField> SettingOf(client::RuleField field) {
        switch (field) {
            case client::RuleField::kIpAddress:
                return SettingField::kIp;
            case client::RuleField::kSubnetMask:
                return SettingField::kSubnetMask;
            case client::RuleField::kGateway:
                return SettingField::kGateway;
            case client::RuleField::kDns1:
                return SettingField::kDns1;
            case client::RuleField::kDns2:
                return SettingField::kDns2;
            default:
                return std::nullopt;
        }
    }

    // The subnet of a module with a usable address and mask.
    static std::optional<std::uint32_t> UsableMask(const ModuleSettings& m) {
        if (!m.ip || *m.ip == 0 || !m.subnet_mask || !client::IsContiguousMask(*m.subnet_mask))
            return std::nullopt;
        return m.subnet_mask;
    }

    void Unreachable(const Subject& s) {
        if (s.answer == nullptr || s.answer->adapter.empty() || !s.final.ip || *s.final.ip == 0)
            return;
        // Without a usable mask the module is one host.
        const std::uint32_t mask = UsableMask(s.final).value_or(0xFFFFFFFF);
        const std::uint32_t network = *s.final.ip & mask;
        std::vector<std::string> subnets;
        for (const TOLM_AdapterType& a : scan_.adapters) {
            if (client::FieldText(a.szName) != s.answer->adapter) continue;
            const std::uint32_t common = mask & a.dwSubnetMask;
            if ((network & common) == (a.dwAddress & common)) return;
            subnets.push_back(NetText(a.dwAddress, a.dwSubnetMask));
        }
        if (subnets.empty()) return;
        const bool planned = Planned(s, SettingField::kIp) || Planned(s, SettingField::kSubnetMask);
        Add("unreachable", Severity::kWarning, {s.mac},
            s.mac + " " + Verb(planned) + " " + NetText(*s.final.ip, mask) +
                ", which overlaps no subnet of " + s.answer->adapter + " (" + Listed(subnets) +
                ") that it answered through: this PC cannot reach it by unicast",
            {{"adapter", s.answer->adapter}, {"ip", client::IpText(*s.final.ip)}});
    }

    void SharedAddresses() {
        std::map<std::uint32_t, std::vector<const Subject*>> by_ip;
        for (const Subject& s : subjects_)
            if (AddressSettled(s) && s.final.ip && *s.final.ip != 0)
                by_ip[*s.final.ip].push_back(&s);
        for (const auto& [ip, holders] : by_ip) {
            if (holders.size() < 2) continue;
            std::vector<std::string> macs, planned, kept;
            for (const Subject* s : holders) {
                macs.push_back(s->mac);
                (Planned(*s, SettingField::kIp) ? planned : kept).push_back(s->mac);
            }
            const std::string address = client::IpText(ip);
            const json details{{"ip", address}};
            if (planned.size() >= 2)
                Add("duplicate-planned-ip", Severity::kError, macs,
                    address + " is planned for " + Listed(planned) +
                        (kept.empty() ? "" : ", and " + Listed(kept) + " already holds it"),
                    details);
            else if (planned.size() == 1)
                Add("address-taken", Severity::kError, macs,
                    address + " is planned for " + planned.front() + ", but " + Listed(kept) +
                        " already " + (kept.size() == 1 ? "holds" : "hold") + " it",
                    details);
            else
                Add("duplicate-ip", Severity::kError, macs,
                    address + " is reported by " + Listed(kept), details);
        }
    }

    // Modules that would exchange addresses: whichever went first would take
    // an address another still holds.
    void AddressCycles() {
        std::vector<AddressMove> moves;
        for (const Subject& s : subjects_) {
            AddressMove move;
            if (s.answer != nullptr) move.now = s.reported.ip;
            if (s.answer != nullptr && Planned(s, SettingField::kIp) && s.final.ip != s.reported.ip)
                move.next = s.final.ip;
            move.leaves = move.next.has_value() || !AddressSettled(s);
            moves.push_back(move);
        }
        for (const std::vector<std::size_t>& cycle : OrderHandOvers(moves).cycles) {
            std::vector<std::string> macs, steps;
            json addresses = json::array();
            for (const std::size_t m : cycle) {
                const Subject& s = subjects_[m];
                macs.push_back(s.mac);
                steps.push_back(s.mac + " " + client::IpText(*s.reported.ip) + " -> " +
                                client::IpText(*s.final.ip));
                addresses.push_back(client::IpText(*s.reported.ip));
            }
            Add("address-cycle", Severity::kError, macs,
                Listed(steps) +
                    ": these modules would exchange addresses, and whichever went first would "
                    "take an address another still holds; give one of them a free address first",
                {{"addresses", addresses}});
        }
    }

    void SharedHostNames() {
        std::map<std::string, std::vector<const Subject*>> by_name;
        for (const Subject& s : subjects_)
            if (s.final.host_name && !s.final.host_name->empty())
                by_name[Lower(*s.final.host_name)].push_back(&s);
        for (const auto& [name, holders] : by_name) {
            if (holders.size() < 2) continue;
            std::vector<std::string> macs;
            bool planned = false;
            for (const Subject* s : holders) {
                macs.push_back(s->mac);
                planned = planned || Planned(*s, SettingField::kHostName);
            }
            const std::string shown = *holders.front()->final.host_name;
            Add("duplicate-host-name", Severity::kWarning, macs,
                Listed(macs) + (planned ? " would share" : " share") + " the host name " + shown,
                {{"host_name", shown}});
        }
    }

    // Every request carries a host name: with none planned, the module's own
    // goes again, which needs one it reported and that can be sent.
    void HostNameNeeded(const Subject& s) {
        if (s.answer == nullptr || s.planned == nullptr || s.planned->settings.host_name) return;
        if (Changes(s.reported, s.planned->settings).empty()) return;
        const std::optional<std::string>& own = s.reported.host_name;
        if (own && client::IsLegalHostName(*own)) return;
        Add("host-name-needed", Severity::kError, {s.mac},
            own ? s.mac + " reports the host name " + *own +
                      ", which cannot be sent again (only letters, digits and '_'), and the plan "
                      "gives none: every request carries a host name"
                : s.mac +
                      " reported no host name and the plan gives none: every request carries "
                      "one, and an empty one would erase it");
    }

    void AgainstPlan(const Subject& s) {
        if (s.answer == nullptr) {
            Add("missing", Severity::kWarning, {s.mac},
                s.mac + " is planned (line " + std::to_string(s.planned->where.line) +
                    ") but did not answer");
            return;
        }
        if (s.planned == nullptr) {
            Add("unexpected", Severity::kWarning, {s.mac},
                s.mac + " answered (" + SenderText(*s.answer) + ") but is not in the plan");
            return;
        }
        for (const FieldChange& c : Changes(s.reported, s.planned->settings))
            Add("differs", Severity::kInfo, {s.mac},
                s.mac + ": " + FieldHeading(c.field) + " " +
                    c.before.value_or(client::kNotAvailable) + " -> " + c.after,
                {{"field", FieldKey(c.field)},
                 {"reported", SettingJson(c.field, c.before)},
                 {"planned", SettingJson(c.field, c.after)}});
    }

    const ScanView& scan_;
    const Plan* plan_;
    std::vector<Subject> subjects_;
    std::map<std::string, std::vector<int>> planned_lines_;
    std::vector<Finding> findings_;
};

}  // namespace

const char* SeverityName(Severity severity) {
    switch (severity) {
        case Severity::kError:
            return "error";
        case Severity::kWarning:
            return "warning";
        case Severity::kInfo:
            return "info";
    }
    return "";
}

std::vector<Finding> CheckModules(const ScanView& scan, const Plan* plan) {
    return Checker(scan, plan).Run();
}

bool HasErrors(const std::vector<Finding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& f) { return f.severity == Severity::kError; });
}

}  // namespace tolm::linkora
