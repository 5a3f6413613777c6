// Smoke test of the lab, run on its tool side: scans the simulated modules with raw datagrams on
// the protocol's port, reconfigures the first one and scans again. Exit status 0 when everything
// went as expected, 1 when not, 3 (from the guard) when started outside the lab.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>

#include "broadcast_socket.h"
#include "lab_guard.h"

namespace {

using tolm::lab::BroadcastSocket;
using Clock = std::chrono::steady_clock;
using Answers = std::map<std::string, std::string>;  // scan-response text by MAC text

constexpr unsigned short kPort = 3250;
constexpr auto kAnswerTime = std::chrono::seconds(5);
// Once every module has answered, extra answers are waited for this long.
constexpr auto kQuietTime = std::chrono::milliseconds(300);
const std::string kScanRequest("Module Scan", 12);
const std::string kConfiguredMac = "02-00-00-00-00-01";
const std::string kConfigureText = "Configure: " + kConfiguredMac + ";IP = 10.77.0.200;HN = smoke;";

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void Expect(bool ok, const std::string& what) {
    if (!ok) throw Failure(what);
}

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::string TextOf(const std::string& datagram) {
    return datagram.substr(0, datagram.find('\0'));
}

// Linux hands our own broadcasts back to our socket.
bool IsOwnRequest(const std::string& text) {
    return StartsWith(text, "Module Scan") || StartsWith(text, "Configure: ");
}

std::string MacOf(const std::string& text) {
    const auto at = text.find("mac = ");
    return at == std::string::npos ? std::string() : text.substr(at + 6, 17);
}

// The simulator numbers its modules' MACs up from 02-00-00-00-00-01.
std::string ModuleMac(int number) {
    char mac[24];
    std::snprintf(mac, sizeof mac, "02-00-00-00-00-%02X", number);
    return mac;
}

Answers Scan(BroadcastSocket& socket, int modules) {
    socket.Broadcast(kScanRequest);
    Answers answers;
    auto deadline = Clock::now() + kAnswerTime;
    while (const auto datagram = socket.Receive(deadline)) {
        const std::string text = TextOf(*datagram);
        if (IsOwnRequest(text)) continue;
        const std::string mac = MacOf(text);
        Expect(!mac.empty(), "an answer without \"mac = \": " + text);
        Expect(answers.emplace(mac, text).second, "a second answer from " + mac);
        if (answers.size() == static_cast<size_t>(modules)) deadline = Clock::now() + kQuietTime;
    }
    Expect(answers.size() == static_cast<size_t>(modules),
           std::to_string(answers.size()) + " modules answered, not " + std::to_string(modules));
    for (int number = 1; number <= modules; ++number)
        Expect(answers.count(ModuleMac(number)) == 1, "no answer from " + ModuleMac(number));
    return answers;
}

void Configure(BroadcastSocket& socket) {
    socket.Broadcast(kConfigureText + '\0');
    const auto deadline = Clock::now() + kAnswerTime;
    while (const auto datagram = socket.Receive(deadline)) {
        const std::string text = TextOf(*datagram);
        if (IsOwnRequest(text)) continue;
        Expect(text == "Reconfigured: " + kConfiguredMac,
               "unexpected answer to the configure request: " + text);
        Expect(datagram->size() == text.size() + 1, "the reply does not end with one NUL");
        return;
    }
    throw Failure("no reply to the configure request");
}

// The lab points TOLM_LAB_SIM_LOG at the first module side's simulator log.
void ExpectLogged(const std::string& escaped) {
    const char* path = std::getenv("TOLM_LAB_SIM_LOG");
    Expect(path != nullptr, "TOLM_LAB_SIM_LOG is not set");
    const auto deadline = Clock::now() + kAnswerTime;
    do {
        std::ifstream log(path);
        for (std::string line; std::getline(log, line);) {
            const bool ends_with =
                line.size() >= escaped.size() &&
                line.compare(line.size() - escaped.size(), escaped.size(), escaped) == 0;
            if (ends_with) return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (Clock::now() < deadline);
    throw Failure(std::string("the simulator log ") + path + " lacks " + escaped);
}

void RunSmoke(int modules) {
    BroadcastSocket socket(kPort);
    const Answers before = Scan(socket, modules);
    std::printf("scan: %d modules answered\n", modules);
    ExpectLogged("Module Scan\\x00");

    Configure(socket);
    std::printf("configure: %s reconfigured\n", kConfiguredMac.c_str());
    ExpectLogged(kConfigureText + "\\x00");

    const Answers after = Scan(socket, modules);
    const std::string& changed = after.at(kConfiguredMac);
    Expect(changed.find("ip = 10.77.0.200;") != std::string::npos, "new IP not shown: " + changed);
    Expect(changed.find("hn = smoke;") != std::string::npos, "new host name not shown: " + changed);
    for (int number = 2; number <= modules; ++number)
        Expect(after.at(ModuleMac(number)) == before.at(ModuleMac(number)),
               "module " + ModuleMac(number) + " changed too: " + after.at(ModuleMac(number)));
    std::printf("rescan: %s shows ip = 10.77.0.200\n", kConfiguredMac.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    tolm::lab::RequireLab("tolm-lab-smoke");
    int modules = 2;
    if (argc == 3 && std::string(argv[1]) == "--modules") modules = std::atoi(argv[2]);
    if ((argc != 1 && argc != 3) || modules < 1 || modules > 255) {
        std::fprintf(stderr,
                     "usage: tolm-lab-smoke [--modules N]  (N: expected modules, default 2)\n");
        return 2;
    }
    try {
        RunSmoke(modules);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "lab smoke: FAILED: %s\n", error.what());
        return 1;
    }
    std::printf("lab smoke: passed\n");
    return 0;
}
