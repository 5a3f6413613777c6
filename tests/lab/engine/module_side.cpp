#include "module_side.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace tolm::labtest {

namespace {

std::string HexOf(const std::string& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

}  // namespace

std::string LabVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0')
        throw std::runtime_error(std::string(name) + " is not set: run the suite with lab/lab run");
    return value;
}

void SendOptionsFromModules(const std::vector<std::string>& options, Milliseconds timeout) {
    std::vector<std::string> argv = {"ip",
                                     "netns",
                                     "exec",
                                     LabVariable("TOLM_LAB_MODULE_NS"),
                                     "env",
                                     "TOLM_LAB=" + LabVariable("TOLM_LAB"),
                                     LabVariable("TOLM_SIM")};
    argv.insert(argv.end(), options.begin(), options.end());
    const int status = RunCommand(argv, timeout);
    if (status != 0)
        throw std::runtime_error("tolm-sim send failed with status " + std::to_string(status));
}

void SendFromModules(const std::vector<std::string>& datagrams) {
    std::vector<std::string> options;
    for (const auto& datagram : datagrams) {
        if (datagram.empty()) {
            options.push_back("--send-empty");
        } else {
            options.push_back("--send-hex");
            options.push_back(HexOf(datagram));
        }
    }
    SendOptionsFromModules(options);
}

std::string ResponseText(const std::string& mac, const std::string& host_name) {
    return "mac = " + mac + ";hn = " + host_name + ";" + std::string(1, '\0');
}

SimLog::SimLog() : path_(LabVariable("TOLM_LAB_SIM_LOG")), start_(ReadFile(path_).size()) {}

std::vector<std::string> SimLog::NewLines() const {
    const std::string content = ReadFile(path_);
    std::vector<std::string> lines;
    std::istringstream rest(start_ < content.size() ? content.substr(start_) : std::string());
    for (std::string line; std::getline(rest, line);) lines.push_back(line);
    return lines;
}

std::optional<std::string> SimLog::WaitForLine(const std::string& prefix,
                                               Milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        for (const auto& line : NewLines())
            if (line.rfind(prefix, 0) == 0) return line;
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(Milliseconds(20));
    }
}

}  // namespace tolm::labtest
