// linkora plan: a plan made from a range, for the modules a scan (or a file)
// lists, in the order asked for.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <memory>

#include "cli/checks/plan_checks.h"
#include "cli/command_line/failure.h"
#include "cli/command_line/options.h"
#include "cli/delivery/pipeline.h"
#include "cli/output/check_report.h"
#include "cli/output/console.h"
#include "cli/output/plan_text.h"
#include "cli/plan/plan_reader.h"
#include "cli/range/numbering.h"
#include "cli/session/scan.h"
#include "cli/verbs/verbs.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

struct PlanOptions {
    RangeOptions range;
    std::string sort = "ip";
    std::optional<std::string> only_type;
    std::string format = "csv";
    std::string output;  // empty: standard output
    std::string from;    // empty: scan
    ScanLimits limits;
};

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string TypeOf(const Answer& answer) {
    return client::ListRowTexts(answer.record)[client::kColumnType];
}

// What a file says of a module, as if it had answered so.
Answer AnswerOf(const PlannedModule& module) {
    Answer answer{};
    TOLM_ModuleScanResponseType& r = answer.record;
    std::memcpy(r.abMacId, module.mac.data(), module.mac.size());
    r.bMacIdValid = 1;
    const ModuleSettings& s = module.settings;
    const auto put = [](const std::optional<std::uint32_t>& v, std::uint32_t& to,
                        std::uint8_t& ok) {
        if (v) to = *v, ok = 1;
    };
    put(s.ip, r.dwIpAddress, r.bIpAddressValid);
    put(s.subnet_mask, r.dwSubnetMask, r.bSubnetMaskValid);
    put(s.gateway, r.dwGateway, r.bGatewayValid);
    put(s.dns1, r.dwDns1, r.bDns1Valid);
    put(s.dns2, r.dwDns2, r.bDns2Valid);
    if (s.dhcp) r.bDhcpEnabled = *s.dhcp ? 1 : 0, r.bDhcpValid = 1;
    if (s.host_name && client::CopyText(*s.host_name, r.szHostName)) r.bHostNameValid = 1;
    return answer;
}

void Order(std::vector<Answer>& modules, const std::string& sort) {
    const auto mac = [](const Answer& a) {
        return std::vector<std::uint8_t>(a.record.abMacId, a.record.abMacId + TOLM_MAC_SIZE);
    };
    const auto ip = [](const Answer& a) {
        return std::make_pair(a.record.bIpAddressValid != 1, a.record.dwIpAddress);
    };
    if (sort == "mac")
        std::stable_sort(modules.begin(), modules.end(),
                         [&](const Answer& a, const Answer& b) { return mac(a) < mac(b); });
    else if (sort == "ip")
        std::stable_sort(modules.begin(), modules.end(),
                         [&](const Answer& a, const Answer& b) { return ip(a) < ip(b); });
    else if (sort == "type")
        std::stable_sort(modules.begin(), modules.end(), [&](const Answer& a, const Answer& b) {
            return std::make_pair(Lower(TypeOf(a)), ip(a)) <
                   std::make_pair(Lower(TypeOf(b)), ip(b));
        });
}

// "IP 10.77.0.201 to 10.77.0.220, Host name press_01 to press_20".
std::string Used(const Plan& plan) {
    std::string text;
    for (const SettingField field : {SettingField::kIp, SettingField::kHostName}) {
        const std::optional<std::string> first = SettingText(plan.modules.front().settings, field);
        if (!first) continue;
        const std::string last = SettingText(plan.modules.back().settings, field).value_or("");
        text += (text.empty() ? "" : ", ") + std::string(FieldHeading(field)) + " " + *first +
                (last == *first ? "" : " to " + last);
    }
    return text;
}

class PlanVerb : public Verb {
  public:
    const char* Name() const override { return "plan"; }

    void Define(CLI::App& app) override {
        PlanOptions& p = options_;
        CLI::App* plan = app.add_subcommand(
            Name(),
            "Writes a plan made from a range: scans (or reads --from FILE, a scan or a plan) and "
            "gives each module, in the chosen order, the next address of the range and a host "
            "name made from the pattern. Refuses (exit 2, naming what) a range too small, and "
            "addresses or names that check --plan would refuse: the plan it writes passes check "
            "--plan with only differences and applies as it stands.");
        plan->fallthrough();
        AddRangeOptions(plan, p.range);
        plan->add_option("--sort", p.sort,
                         "The modules' order: by mac, ip (default), type or answer")
            ->check(CLI::IsMember({"mac", "ip", "type", "answer"}));
        plan->add_option("--only-type", p.only_type,
                         "Plan only the modules of this field-bus type (any letter case)");
        AddFormat(plan, p.format, {"csv", "json"}, "The plan's format", false);
        plan->add_option("-o,--output", p.output, "Write the plan to FILE, not standard output");
        plan->add_option("--from", p.from, "Plan the modules a file lists instead of scanning");
        AddScanLimits(plan, p.limits);
    }

    int Run(const GlobalOptions& global) override {
        const PlanOptions& o = options_;
        if (!o.range.first && !o.range.host_name)
            throw Failure(kUsage, "plan needs --ip FIRST, --hostname PATTERN or both");
        const Numbering numbering(o.range);
        if (!o.from.empty() && (o.only_type || o.sort == "type"))
            throw Failure(kUsage,
                          "--from gives no field-bus types: scan for --only-type and "
                          "--sort type");
        // Everywhere else -o is the format: a format name here is a slip, not a file name.
        if (o.output == "csv" || o.output == "json" || o.output == "table")
            throw Failure(kUsage, "plan's -o names the file it writes, not a format: give -f " +
                                      o.output + " for the format, or ./" + o.output +
                                      " for a file of that name");
        if (!o.output.empty() && !o.from.empty() && o.output == o.from)
            throw Failure(kUsage, "-o " + o.output + " would overwrite the --from file");

        ScanView view;
        std::vector<Answer> modules;
        if (o.from.empty()) {
            TolmSession session(LibraryPath(global), global.adapter);
            ModuleList list;
            Scan(session, o.limits, list);
            modules = list.InAnswerOrder();
            view = {list.Modules(), list.Conflicts(), session.Adapters(), session.OwnAddresses()};
        } else {
            for (const PlannedModule& m : ReadPlanFile(o.from).modules)
                modules.push_back(AnswerOf(m));
            view.modules = modules;
        }
        if (o.only_type)
            modules.erase(std::remove_if(modules.begin(), modules.end(),
                                         [&](const Answer& a) {
                                             return Lower(TypeOf(a)) != Lower(*o.only_type);
                                         }),
                          modules.end());
        if (modules.empty())
            throw Failure(kNotFound, o.only_type ? "no module of the type " + *o.only_type
                                                 : std::string("no module to plan"));
        Order(modules, o.sort);
        if (numbering.Size() && *numbering.Size() < modules.size())
            throw Failure(kUsage, "the range " + numbering.Text() + " numbers " +
                                      std::to_string(*numbering.Size()) + " modules, not the " +
                                      std::to_string(modules.size()) +
                                      " found: " + "give a later --ip-last; nothing was written");

        Plan plan;
        plan.file = o.output;
        for (std::size_t n = 0; n < modules.size(); ++n) {
            PlannedModule module;
            std::memcpy(module.mac.data(), modules[n].record.abMacId, module.mac.size());
            module.settings = numbering.Settings(n);
            module.where = {static_cast<int>(n) + 2, 1};
            plan.modules.push_back(module);
        }
        std::vector<Finding> refusing;
        for (const Finding& f : CheckModules(view, &plan))
            if (f.severity == Severity::kError && Refuses({f}, plan, false)) refusing.push_back(f);
        if (!refusing.empty()) {
            Warn(FindingLines(refusing));
            throw Failure(kUsage, "check --plan would refuse this plan (" +
                                      std::to_string(refusing.size()) +
                                      (refusing.size() == 1 ? " error" : " errors") +
                                      "): choose another range or pattern; nothing was written");
        }

        const std::string text = o.format == "json" ? PlanJsonText(plan) : PlanCsvText(plan);
        const std::string summary = "Planned " + std::to_string(plan.modules.size()) +
                                    (plan.modules.size() == 1 ? " module: " : " modules: ") +
                                    Used(plan);
        if (o.output.empty()) {
            Print(text);
            Warn(summary);
            return kSuccess;
        }
        std::ofstream file(o.output, std::ios::binary | std::ios::trunc);
        file << text;
        file.close();
        if (!file) throw Failure(kFailed, "cannot write the plan " + o.output);
        SayLine(summary + "; written to " + o.output);
        return kSuccess;
    }

  private:
    PlanOptions options_;
};

}  // namespace

std::unique_ptr<Verb> MakePlanVerb() {
    return std::make_unique<PlanVerb>();
}

}  // namespace tolm::linkora
