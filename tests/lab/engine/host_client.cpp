#include "host_client.h"

#include <sstream>
#include <stdexcept>
#include <thread>

namespace tolm::labtest {

namespace {

HostLaunch& TheLaunch() {
    static HostLaunch launch;
    return launch;
}

}  // namespace

void SetHostLaunch(HostLaunch launch) {
    TheLaunch() = std::move(launch);
}

const std::string& Reply::operator[](const std::string& key) const {
    const auto field = fields.find(key);
    if (field == fields.end()) throw std::runtime_error("no " + key + " in reply: " + line);
    return field->second;
}

long long Reply::Number(const std::string& key) const {
    return std::stoll((*this)[key], nullptr, 0);
}

Reply ParseReply(const std::string& line) {
    Reply reply;
    reply.line = line;
    std::istringstream words(line);
    words >> reply.name;
    for (std::string word; words >> word;) {
        const auto equals = word.find('=');
        if (equals == std::string::npos) continue;
        reply.fields[word.substr(0, equals)] = word.substr(equals + 1);
    }
    return reply;
}

Host::Host() {
    const HostLaunch& launch = TheLaunch();
    if (launch.argv.empty()) throw std::runtime_error("no host to launch");
    process_ = std::make_unique<ChildProcess>(launch.argv);
    const auto first = process_->ReadLine(launch.start_timeout);
    if (!first) throw std::runtime_error("host not ready within the start time-out");
    if (*first != "ready") throw std::runtime_error("host failed to start: " + *first);
}

Reply Host::Run(const std::string& command) {
    return Run(command, TheLaunch().command_timeout);
}

Reply Host::Run(const std::string& command, Milliseconds timeout) {
    process_->WriteLine(command);
    const auto line = process_->ReadLine(timeout);
    if (!line)
        throw std::runtime_error("host gave no answer to '" + command + "' within " +
                                 std::to_string(timeout.count()) + " ms");
    Reply reply = ParseReply(*line);
    if (reply.name == "error") throw std::runtime_error("host refused '" + command + "': " + *line);
    return reply;
}

Reply Host::TakeWithin(Milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        Reply reply = Run("take");
        if (reply["result"] == "1" || std::chrono::steady_clock::now() >= deadline) return reply;
        std::this_thread::sleep_for(Milliseconds(20));
    }
}

std::string Host::Codes() {
    return Run("events")["codes"];
}

int Host::Quit() {
    Run("quit");
    const auto status = process_->Wait(TheLaunch().command_timeout);
    if (!status) throw std::runtime_error("host did not exit after quit");
    return *status;
}

}  // namespace tolm::labtest
