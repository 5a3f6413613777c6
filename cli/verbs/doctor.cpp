// linkora doctor: why a scan finds nothing, looked for on this PC and its
// segment: adapters, the port, the firewall, reverse-path filtering and a
// scan of its own. It reads and scans only; nothing is changed.
#include <chrono>

#include "cli/command_line/failure.h"
#include "cli/command_line/options.h"
#include "cli/doctor/adapter_checks.h"
#include "cli/doctor/port_checks.h"
#include "cli/doctor/scan_checks.h"
#include "cli/output/console.h"
#include "cli/output/doctor_report.h"
#include "cli/platform/doctor_reading.h"
#include "cli/platform/terminal.h"
#include "cli/session/scan.h"
#include "cli/verbs/verbs.h"

namespace tolm::linkora {
namespace {

using namespace doctor;

constexpr std::uint16_t kPort = 3250;

template <typename T>
void Append(std::vector<Finding>& findings, const std::vector<T>& more) {
    findings.insert(findings.end(), more.begin(), more.end());
}

class DoctorVerb : public Verb {
  public:
    const char* Name() const override { return "doctor"; }

    void Define(CLI::App& app) override {
        CLI::App* doctor = app.add_subcommand(
            Name(),
            "Looks for what keeps a scan from finding modules, one finding per line with what "
            "was seen and what to do: the adapters, who holds UDP port 3250, the firewall "
            "(nftables, iptables, firewalld and rp_filter on Linux; the Windows Firewall's "
            "profiles and rules), and a scan of its own per adapter. Changes nothing; a check "
            "that cannot be made says \"could not check\". Exit 10 when something stands in "
            "the way.");
        doctor->fallthrough();
        doctor
            ->add_option("--rounds", rounds_,
                         "Scan rounds (a module missing from some is lost on the way)")
            ->check(CLI::Range(1, 10))
            ->default_str("3");
        AddMilliseconds(doctor, "--round-ms", round_, "How long each round waits for answers");
        AddFormat(doctor, format_, {"table", "json"}, "table or json");
    }

    int Run(const GlobalOptions& global) override {
        const auto start = Clock::now();
        DoctorReport report;
        std::vector<Finding>& findings = report.findings;
        const Reading<std::vector<NetInterface>> interfaces = ReadInterfaces();
        const Reading<std::string> route = ReadDefaultRoute();
        const std::string default_route = route.value.value_or("");
        if (interfaces.value)
            Append(findings, AdapterFindings(*interfaces.value, default_route));
        else
            findings.push_back(
                CouldNotCheck("adapters", "the adapters (" + interfaces.problem + ")"));
        if (!route.value)
            findings.push_back(
                CouldNotCheck("adapters", "the default route (" + route.problem + ")"));
        Append(findings, FirewallFindings(interfaces.value.value_or(std::vector<NetInterface>{}),
                                          default_route, kPort));

        std::string socket_problem;
        std::optional<ExitCode> failed;
        std::optional<TolmSession> session;
        try {
            session.emplace(LibraryPath(global), global.adapter);
        } catch (const Failure& failure) {
            if (failure.Code() == kUsage) throw;
            failed = failure.Code();
            socket_problem = failure.what();
        }
        std::vector<std::vector<Answer>> rounds;
        ScanDrops drops;
        if (session) rounds = ScanRounds(*session, drops);
        const Reading<std::vector<PortHolder>> holders = ReadPortHolders(kPort);
        if (holders.value) {
            for (const PortHolder& h : *holders.value)
                if (h.pid && *h.pid == OwnProcessId()) drops.socket += h.drops;
            // A library that cannot be loaded says nothing of the port.
            if (failed && *failed != kCannotSend)
                findings.push_back(CouldNotCheck(
                    "port",
                    "whether linkora can listen on UDP port 3250 (" + socket_problem + ")"));
            else
                Append(findings,
                       PortFindings(*holders.value, OwnProcessId(), socket_problem, kPort));
        } else {
            findings.push_back(
                CouldNotCheck("port", "who holds UDP port 3250 (" + holders.problem + ")"));
        }
        if (session) {
            Append(findings, ScanFindings(session->Adapters(), rounds, drops));
            report.adapters = session->AdapterNames();
            ModuleList list;
            for (const auto& round : rounds)
                for (const Answer& a : round) list.Add(a);
            report.answered = list.ModuleCount();
        } else {
            findings.push_back(CouldNotCheck("scan", "the scan (" + socket_problem + ")"));
        }
        report.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        Print(format_ == "json" ? DoctorJsonText(report) : DoctorTableText(report));
        return StandsInTheWay(findings) ? kFindings : kSuccess;
    }

  private:
    std::vector<std::vector<Answer>> ScanRounds(TolmSession& session, ScanDrops& drops) {
        const Reading<KernelDrops> before = ReadKernelDrops();
        std::vector<std::vector<Answer>> rounds;
        for (int round = 0; round < rounds_ && Interrupts() == 0; ++round) {
            std::vector<Answer>& answers = rounds.emplace_back();
            const Clock::time_point end = Clock::now() + round_;
            session.SendScan();
            while (Clock::now() < end && Interrupts() == 0) {
                session.WaitUntil(end);
                TakeQueued(session, end, [&](const Answer& a) { answers.push_back(a); });
            }
        }
        const Reading<KernelDrops> after = ReadKernelDrops();
        drops.library = session.DroppedAnswers();
        if (before.value && after.value)
            drops.kernel = KernelDrops{after.value->receive_buffer - before.value->receive_buffer,
                                       after.value->errors - before.value->errors,
                                       after.value->reverse_path - before.value->reverse_path};
        else
            drops.kernel_problem = before.value ? after.problem : before.problem;
        return rounds;
    }

    int rounds_ = 3;
    Milliseconds round_{1000};
    std::string format_;
};

}  // namespace

std::unique_ptr<Verb> MakeDoctorVerb() {
    return std::make_unique<DoctorVerb>();
}

}  // namespace tolm::linkora
