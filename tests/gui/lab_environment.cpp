#include "lab_environment.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tolm.h"

namespace gui_test {
namespace {

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program = path;
    return program.substr(0, program.find_last_of('\\'));
}

bool SendText(tolm::windows_test::BroadcastSender& sender, const std::string& text) {
    return sender.Send(std::string_view(text.c_str(), text.size() + 1));
}

}  // namespace

void UseLibraryFolder(const std::string& variant) {
    const std::string folder = ProgramFolder() + "\\binding\\" + variant;
    ::SetDllDirectoryA(folder.c_str());
    ::SetCurrentDirectoryA(folder.c_str());
}

std::vector<std::string> SimulatorLogLines(std::string_view prefix) {
    std::vector<std::string> lines;
    const char* log = std::getenv("TOLM_LAB_SIM_LOG");
    if (log == nullptr) return lines;
    // The lab's paths are the Linux side's; Wine's drive Z: is its root.
    std::ifstream file(std::string("Z:") + log);
    for (std::string line; std::getline(file, line);) {
        if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
    }
    return lines;
}

int SimulatorLogCount(std::string_view prefix) {
    if (std::getenv("TOLM_LAB_SIM_LOG") == nullptr) return -1;
    return static_cast<int>(SimulatorLogLines(prefix).size());
}

int ScansReceived() {
    return SimulatorLogCount("Module Scan");
}

long UdpDatagramsDropped() {
    // Two lines begin with "Udp:": the names of the counters, then their values.
    std::ifstream file("Z:/proc/net/snmp");
    std::vector<std::vector<std::string>> udp;
    for (std::string line; std::getline(file, line);) {
        if (line.rfind("Udp:", 0) != 0) continue;
        std::istringstream words(line);
        udp.emplace_back(std::istream_iterator<std::string>(words),
                         std::istream_iterator<std::string>());
    }
    if (udp.size() < 2) return -1;
    for (std::size_t i = 0; i < udp[0].size() && i < udp[1].size(); ++i) {
        if (udp[0][i] == "RcvbufErrors") return std::atol(udp[1][i].c_str());
    }
    return -1;
}

std::string ModuleMac(int number) {
    char mac[32];
    std::snprintf(mac, sizeof mac, "02-00-00-00-00-%02X", number);
    return mac;
}

PortHolder::PortHolder() {
    WSADATA data;
    m_started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    if (!m_started) return;
    m_socket = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(TOLM_PORT);
    m_holding = m_socket != INVALID_SOCKET &&
                ::bind(m_socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
}

PortHolder::~PortHolder() {
    if (m_socket != INVALID_SOCKET) ::closesocket(m_socket);
    if (m_started) ::WSACleanup();
}

bool OtherTool::Answer(const std::string& mac, const std::string& ip) {
    return SendText(m_sender, "protocol version = 1.0;mac = " + mac + ";" +
                                  (ip.empty() ? "" : "ip = " + ip + ";"));
}

bool OtherTool::Configure(const std::string& mac, const std::string& pieces) {
    return SendText(m_sender, "Configure: " + mac + ";" + pieces);
}

bool OtherTool::InvalidPassword(const std::string& mac) {
    return SendText(m_sender, "Invalid Password: " + mac);
}

bool OtherTool::Reconfigured(const std::string& mac) {
    return SendText(m_sender, "Reconfigured: " + mac);
}

}  // namespace gui_test
