// linkora assign: the modules present at the start are left alone; each one
// that newly answers gets the next address and host name of the range (or
// the next row of a plan without MACs) through the one delivery pipeline.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include "cli/command_line/failure.h"
#include "cli/command_line/options.h"
#include "cli/delivery/pipeline.h"
#include "cli/output/console.h"
#include "cli/output/plan_text.h"
#include "cli/plan/plan_reader.h"
#include "cli/platform/terminal.h"
#include "cli/range/numbering.h"
#include "cli/session/scan.h"
#include "cli/verbs/verbs.h"
#include "record_text.h"

namespace tolm::linkora {
namespace {

namespace client = tolm::client;

struct AssignOptions {
    RangeOptions range;
    std::string plan;  // rows without a MAC; empty: the range
    bool yes = false;
    std::string write;   // the resulting plan as CSV; empty: none
    std::string report;  // empty: none
    LogOptions log;
    Milliseconds find_wait{300}, confirm_wait{3000}, verify_wait{5000};
    Milliseconds every{300};
    ScanLimits limits;  // the first scan, which lists the modules present
};

std::string MacOf(const TOLM_ModuleScanResponseType& record) {
    return client::MacText(record.abMacId);
}

std::string Where(const TOLM_ModuleScanResponseType& record) {
    return "at " + client::ListRowTexts(record)[client::kColumnIp] + ", host name " +
           client::HostNameText(record);
}

// "IP 10.77.0.201, Host name press_01": what a module is to be given.
std::string GivenText(const ModuleSettings& settings) {
    std::string text;
    for (const SettingField field : kSettingFields)
        if (const std::optional<std::string> value = SettingText(settings, field))
            text += (text.empty() ? "" : ", ") + std::string(FieldHeading(field)) + " " + *value;
    return text;
}

// Yes/No on the terminal; end of input or Ctrl-C count as No.
bool Asked(const std::string& question) {
    const std::optional<std::string> answer = ReadLine(question + " [y/N]: ");
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

// The rows or the range, handed out in turn.
class Slots {
  public:
    Slots(const AssignOptions& o) {
        if (o.plan.empty()) {
            numbering_.emplace(o.range);
            return;
        }
        for (const PlannedModule& row : ReadPlanFile(o.plan, MacRule::kOptional).modules) {
            if (row.has_mac)
                throw Failure(kUsage, ProblemText(o.plan, {row.where,
                                                           "this row names a MAC: "
                                                           "assign --plan takes rows "
                                                           "that wait for a module; "
                                                           "apply delivers the others"}));
            rows_.push_back(row);
        }
    }
    std::optional<PlannedModule> At(std::size_t n) const {
        if (!numbering_) return n < rows_.size() ? std::optional(rows_[n]) : std::nullopt;
        if (numbering_->Size() && n >= *numbering_->Size()) return std::nullopt;
        PlannedModule module;
        module.settings = numbering_->Settings(n);
        module.where = {static_cast<int>(n) + 2, 1};
        return module;
    }
    std::string Text() const {
        return numbering_ ? numbering_->Text() : std::to_string(rows_.size()) + " rows of the plan";
    }

  private:
    std::optional<Numbering> numbering_;
    std::vector<PlannedModule> rows_;
};

// Written aside and renamed, so that the file always holds a whole plan.
void WritePlan(const std::string& path, const Plan& plan) {
    const std::string partial = path + ".partial";
    std::ofstream file(partial, std::ios::binary | std::ios::trunc);
    file << PlanCsvText(plan);
    file.close();
    std::error_code error;
    if (file) std::filesystem::rename(partial, path, error);
    if (!file || error) throw Failure(kFailed, "cannot write the plan " + path);
}

class AssignVerb : public Verb {
  public:
    const char* Name() const override { return "assign"; }

    void Define(CLI::App& app) override {
        AssignOptions& a = options_;
        CLI::App* assign = app.add_subcommand(
            Name(),
            "Assigns modules as they are powered up: lists the modules present at the start and "
            "leaves them alone; each module that newly answers gets the next address and host "
            "name of the range (or the next row of --plan, whose rows have no MAC yet), after a "
            "Yes/No on the terminal or at once with --yes, through the same steps as apply, and "
            "one line tells what it got. Ctrl-C ends it; so does the end of the range. Without a "
            "terminal and without --yes nothing is sent (exit 2).");
        assign->fallthrough();
        AddRangeOptions(assign, a.range);
        assign->add_option("--plan", a.plan, "A CSV plan whose rows wait for modules, in order");
        assign->add_flag("-y,--yes", a.yes, "Assign each new module without asking");
        assign->add_option("--write", a.write,
                           "Keep the resulting plan (MAC, address, name) as a CSV in FILE");
        assign->add_option("--report", a.report,
                           "Write the whole run to FILE: JSON, or CSV or HTML by its extension");
        AddLog(assign, a.log);
        AddMilliseconds(assign, "--every-ms", a.every, "How often new modules are looked for");
        AddTimings(assign, a.find_wait, a.confirm_wait, a.verify_wait,
                   "How long each new module is listened for, before the change and after it");
        AddScanLimits(assign, a.limits);
    }

    int Run(const GlobalOptions& global) override {
        const AssignOptions& o = options_;
        if (!o.plan.empty() && (o.range.first || o.range.host_name || o.range.last))
            throw Failure(kUsage, "give --plan or a range (--ip, --hostname), not both");
        if (o.plan.empty() && (!o.range.first || !o.range.host_name))
            throw Failure(kUsage, "assign needs --ip FIRST and --hostname PATTERN, or --plan FILE");
        if (!o.yes && !IsTerminal(stdin))
            throw Failure(kUsage,
                          "no terminal to answer Yes/No on: give --yes to assign each new "
                          "module without asking; nothing was sent");
        const Slots slots(o);

        DeliveryOptions options;
        options.command = Name();
        options.plan_file = o.plan;
        options.refuse_for_any_error = false;
        options.every_finding = false;
        options.find_wait = options.verify_scan = o.find_wait;
        options.confirm_wait = o.confirm_wait;
        options.verify_wait = o.verify_wait;
        options.log = o.log;
        options.report = o.report;
        options.inputs = {o.plan, o.write};
        Delivery delivery(options);

        TolmSession session(LibraryPath(global), global.adapter);
        CatchInterrupt();
        ModuleList present;
        Scan(session, o.limits, present);
        std::set<std::string> seen;
        SayLine("Present: " + std::to_string(present.ModuleCount()) +
                (present.ModuleCount() == 1 ? " module, left alone" : " modules, left alone"));
        for (const Answer& a : present.Modules()) {
            seen.insert(MacOf(a.record));
            SayLine("  " + MacOf(a.record) + " " + Where(a.record));
        }
        for (std::size_t n = 0; slots.At(n) && n < present.ModuleCount() + 256; ++n)
            for (const Answer& a : present.Modules())
                if (const auto ip = slots.At(n)->settings.ip;
                    ip && a.record.bIpAddressValid == 1 && a.record.dwIpAddress == *ip)
                    throw Failure(kUsage, client::IpText(*ip) + " is held by " + MacOf(a.record) +
                                              ", which is present and left alone: choose "
                                              "another range; nothing was sent");
        SayLine("Waiting for modules to be powered up: " + slots.Text() + " (Ctrl-C ends).");

        Plan kept;
        kept.file = o.write;
        std::size_t next = 0;
        bool all_as_planned = true;
        const DeliveryRecord* last = nullptr;
        DeliveryEvents quiet;
        while (!Interrupted() && slots.At(next)) {
            // One new module at a time, heard for --find-ms by the scan that found it; others
            // that appear meanwhile are taken up by the next scan.
            session.SendScan();
            Clock::time_point deadline = Clock::now() + o.every;
            ModuleList heard;
            std::optional<Answer> fresh;
            while (!Interrupted() && Clock::now() < deadline) {
                session.WaitUntil(deadline);
                while (const std::optional<Answer> a = session.TakeAnswer())
                    if (heard.Add(*a) && !fresh && seen.count(MacOf(a->record)) == 0) {
                        fresh = *a;
                        deadline = Clock::now() + o.find_wait;
                    }
            }
            if (!fresh || Interrupted()) continue;
            const Answer& a = *fresh;
            const std::string mac = MacOf(a.record);
            seen.insert(mac);
            PlannedModule slot = *slots.At(next);
            std::copy(a.record.abMacId, a.record.abMacId + TOLM_MAC_SIZE, slot.mac.begin());
            if (!o.yes && !Asked("Assign " + mac + " (" + Where(a.record) + ") " +
                                 GivenText(slot.settings) + "?")) {
                if (!Interrupted()) SayLine(mac + "  left alone");
                continue;
            }
            Plan one;
            one.file = o.plan;
            one.modules.push_back(slot);
            try {
                // Once the question was asked, the answers heard before it are stale.
                const DeliveryRecord& record =
                    delivery.Run(session, one, PasswordSources{}, quiet, o.yes ? &heard : nullptr);
                last = &record;
                const ModuleRun& run = record.runs.back();
                all_as_planned = all_as_planned && EndsAsPlanned(run.outcome);
                std::string line =
                    mac + "  " +
                    (run.changes.empty() ? GivenText(slot.settings) : ChangesText(run.changes)) +
                    "  " + OutcomeName(run.outcome);
                for (const Finding& f : record.findings)
                    if (f.severity == Severity::kError && record.refused &&
                        std::find(f.macs.begin(), f.macs.end(), mac) != f.macs.end())
                        line += "\n  skipped: " + f.message;
                for (const std::string& m : run.mismatches) line += "\n  " + m;
                SayLine(line);
                if (run.sent_at.empty() && run.outcome != Outcome::kUnchanged) continue;
            } catch (const Failure& failure) {
                if (failure.Code() != kUsage) throw;
                all_as_planned = false;
                SayLine(mac + "  skipped: " + failure.what());
                continue;
            }
            kept.modules.push_back(slot);
            ++next;
            if (!o.write.empty()) WritePlan(o.write, kept);
        }
        if (!slots.At(next))
            SayLine(o.plan.empty() ? "The range is used up."
                                   : "Every row of the plan is assigned.");
        SayLine("Assigned " + std::to_string(kept.modules.size()) +
                (kept.modules.size() == 1 ? " module." : " modules."));
        if (!o.write.empty() && kept.modules.empty()) WritePlan(o.write, kept);
        if (!o.write.empty()) SayLine("Plan: " + o.write);
        int exit_code = all_as_planned ? kSuccess : kNotAsPlanned;
        std::string failure = delivery.AuditFailure();
        if (!failure.empty() && exit_code == kSuccess) exit_code = kFailed;
        if (last != nullptr && delivery.AuditLinesWritten() > 0)
            SayLine("Audit log: " + last->log + " (" +
                    std::to_string(delivery.AuditLinesWritten()) + " lines added)");
        const std::string unwritten = delivery.Finish(exit_code);
        if (unwritten.empty() && !o.report.empty()) SayLine("Report: " + o.report);
        if (failure.empty()) failure = unwritten;
        if (failure.empty()) return exit_code;
        Warn(failure);
        return exit_code == kSuccess ? kFailed : exit_code;
    }

  private:
    AssignOptions options_;
};

}  // namespace

std::unique_ptr<Verb> MakeAssignVerb() {
    return std::make_unique<AssignVerb>();
}

}  // namespace tolm::linkora
