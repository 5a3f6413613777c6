#include "serve.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <set>
#include <stdexcept>

#include "answer_loss.h"
#include "answer_schedule.h"
#include "datagram_log.h"
#include "responder.h"
#include "udp_socket.h"

namespace tolm::sim {
namespace {

// One more than the largest UDP payload, so that nothing is ever cut.
constexpr std::size_t kReceiveCapacity = 65536;

struct Counts {
    unsigned long received = 0;
    unsigned long scans = 0;
    unsigned long configures = 0;
    unsigned long echoes = 0;
    unsigned long sent = 0;
    unsigned long lost = 0;
    unsigned long send_failures = 0;
};

volatile sig_atomic_t g_stop_signal = 0;

void OnStopSignal(int signal_number) {
    g_stop_signal = signal_number;
}

// Blocks the stop signals except while waiting in ppoll, so none is missed
// between a check of the flag and the wait.
sigset_t InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigset_t stop_signals;
    sigemptyset(&stop_signals);
    sigaddset(&stop_signals, SIGTERM);
    sigaddset(&stop_signals, SIGINT);
    sigset_t wait_mask;
    sigprocmask(SIG_BLOCK, &stop_signals, &wait_mask);
    sigdelset(&wait_mask, SIGTERM);
    sigdelset(&wait_mask, SIGINT);
    return wait_mask;
}

std::vector<unsigned> AnswerDelays(const std::vector<Module>& modules) {
    std::vector<unsigned> delays;
    for (const Module& module : modules) delays.push_back(module.answer_delay_ms);
    return delays;
}

// An address a host on the link can send from.
bool IsHostAddress(Ipv4 ip) {
    return ip != 0 && ip >> 24 != 127 && ip >> 28 < 0xE;
}

std::chrono::nanoseconds Spacing(unsigned answers_per_second) {
    if (answers_per_second == 0) return {};
    return std::chrono::nanoseconds(1000000000 / answers_per_second);
}

// Written aside and renamed, so that whoever sees the file sees the whole pid.
void WriteReadyFile(const std::string& path) {
    if (path.empty()) return;
    const std::string partial = path + ".partial";
    std::ofstream file(partial, std::ios::trunc);
    file << getpid() << '\n';
    file.close();
    if (!file || std::rename(partial.c_str(), path.c_str()) != 0)
        throw std::runtime_error("cannot write the ready file " + path);
}

class Server {
  public:
    Server(const Options& options, std::vector<Module> modules)
        : options_(options),
          responder_(std::move(modules)),
          schedule_(options.seed, options.delay_max_ms, AnswerDelays(responder_.modules()),
                    Spacing(options.answers_per_second)),
          loss_(options.seed, options.loss),
          log_(options.log_path),
          socket_(kProtocolPort),
          local_addresses_(LocalAddresses()),
          start_(AnswerSchedule::Clock::now()),
          buffer_(kReceiveCapacity) {
        if (options.own_addresses) socket_.AllowForeignSources();
    }

    void Run(const sigset_t& wait_mask) {
        pollfd readable{socket_.fd(), POLLIN, 0};
        while (g_stop_signal == 0) {
            timespec timeout{};
            const timespec* wait = nullptr;
            if (const auto due = schedule_.NextDue()) {
                const auto left = std::max(*due - AnswerSchedule::Clock::now(),
                                           AnswerSchedule::Clock::duration::zero());
                const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
                timeout = {static_cast<time_t>(ns / 1000000000),
                           static_cast<long>(ns % 1000000000)};
                wait = &timeout;
            }
            const int ready = ppoll(&readable, 1, wait, &wait_mask);
            if (ready < 0 && errno != EINTR) throw std::runtime_error("ppoll failed");
            if (ready > 0) DrainSocket();
            SendDueAnswers();
        }
    }

    void PrintCounts() const {
        std::fprintf(stderr,
                     "tolm-sim: received %lu datagrams (%lu scans, %lu configure requests, "
                     "%lu own echoes skipped); sent %lu, %lu sends failed, %lu answers lost\n",
                     counts_.received, counts_.scans, counts_.configures, counts_.echoes,
                     counts_.sent, counts_.send_failures, counts_.lost);
    }

  private:
    bool IsOwnEcho(const Sender& sender) const {
        return sender.port == kProtocolPort && (local_addresses_.count(sender.address) != 0 ||
                                                sent_from_.count(sender.address) != 0);
    }

    void DrainSocket() {
        std::size_t length = 0;
        Sender sender;
        while (g_stop_signal == 0 && socket_.Receive(buffer_.data(), buffer_.size(), &length,
                                                     &sender) == ReceiveResult::kDatagram) {
            if (IsOwnEcho(sender)) {
                ++counts_.echoes;
                continue;
            }
            ++counts_.received;
            const std::string_view datagram(buffer_.data(), std::min(length, buffer_.size()));
            log_.Write(datagram);
            responder_.SetPowered(Powered());
            Reaction reaction = responder_.Handle(datagram);
            if (reaction.kind == RequestKind::kScan) {
                ++counts_.scans;
                AnswerScan();
            } else if (reaction.kind == RequestKind::kConfigure) {
                ++counts_.configures;
                for (std::size_t n = 0; n < reaction.replies.size(); ++n)
                    Send(reaction.replies[n], reaction.repliers[n]);
            }
        }
    }

    // How many modules are up by now: they come up in module order.
    std::size_t Powered() const {
        const std::size_t all = responder_.modules().size();
        if (options_.up_after_ms == 0 && options_.up_every_ms == 0) return all;
        const auto since = std::chrono::duration_cast<std::chrono::milliseconds>(
            AnswerSchedule::Clock::now() - start_);
        if (since.count() < options_.up_after_ms) return 0;
        if (options_.up_every_ms == 0) return all;
        const auto after = static_cast<std::size_t>(since.count() - options_.up_after_ms);
        return std::min(all, 1 + after / options_.up_every_ms);
    }

    void AnswerScan() {
        const std::size_t powered = Powered();
        if (options_.burst) {
            for (std::size_t module = 0; module < powered; ++module) SendAnswer(module);
            return;
        }
        schedule_.AddScan(AnswerSchedule::Clock::now(), powered);
        SendDueAnswers();
    }

    void SendDueAnswers() {
        for (std::size_t module : schedule_.TakeDue(AnswerSchedule::Clock::now()))
            SendAnswer(module);
    }

    void SendAnswer(std::size_t module) {
        if (loss_.Drops()) {
            ++counts_.lost;
            return;
        }
        Send(responder_.ScanResponses()[module], module);
    }

    // From the module's own address where it sends from one, else from ours.
    void Send(const std::string& datagram, std::size_t module) {
        std::string error;
        const Ipv4 ip = responder_.modules()[module].ip;
        const bool own = options_.own_addresses && IsHostAddress(ip);
        if (own) sent_from_.insert(ip);
        if (own ? socket_.SendBroadcastFrom(datagram, ip, &error)
                : socket_.SendBroadcast(datagram, &error)) {
            ++counts_.sent;
            return;
        }
        if (counts_.send_failures++ == 0) std::fprintf(stderr, "tolm-sim: %s\n", error.c_str());
    }

    const Options& options_;
    Responder responder_;
    AnswerSchedule schedule_;
    AnswerLoss loss_;
    DatagramLog log_;
    UdpSocket socket_;
    std::set<std::uint32_t> local_addresses_;
    AnswerSchedule::Clock::time_point start_;  // the modules come up counted from here
    std::set<std::uint32_t> sent_from_;        // the modules' own addresses answers went from
    std::vector<char> buffer_;
    Counts counts_;
};

}  // namespace

int Serve(const Options& options, std::vector<Module> modules) {
    const sigset_t wait_mask = InstallStopSignals();
    const std::size_t module_count = modules.size();
    Server server(options, std::move(modules));
    WriteReadyFile(options.ready_path);
    std::fprintf(stderr, "tolm-sim: %zu module(s) on 0.0.0.0:%u\n", module_count, kProtocolPort);
    server.Run(wait_mask);
    server.PrintCounts();
    if (!options.ready_path.empty()) unlink(options.ready_path.c_str());
    return 0;
}

}  // namespace tolm::sim
