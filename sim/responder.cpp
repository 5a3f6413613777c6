#include "responder.h"

#include <algorithm>
#include <cctype>

#include "sim/configure_request.h"

namespace tolm::sim {
namespace {

constexpr std::string_view kScanRequest = "Module Scan";

bool IsScanRequest(std::string_view datagram) {
    if (datagram.size() < kScanRequest.size()) return false;
    for (std::size_t i = 0; i < kScanRequest.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(datagram[i])) !=
            std::tolower(static_cast<unsigned char>(kScanRequest[i])))
            return false;
    return true;
}

std::string Reply(std::string_view head, const Mac& mac) {
    std::string reply(head);
    reply += FormatMac(mac);
    reply += '\0';
    return reply;
}

void Apply(const ConfigureRequest& request, Module& module) {
    if (request.new_password) module.password = *request.new_password;
    if (request.ip) module.ip = *request.ip;
    if (request.subnet) module.subnet = *request.subnet;
    if (request.gateway) module.gateway = *request.gateway;
    if (request.dhcp) module.dhcp = *request.dhcp;
    if (request.host_name) module.host_name = *request.host_name;
    if (request.dns1) module.dns1 = *request.dns1;
    if (request.dns2) module.dns2 = *request.dns2;
}

}  // namespace

Responder::Responder(std::vector<Module> modules) : modules_(std::move(modules)) {}

Reaction Responder::Handle(std::string_view datagram) {
    if (IsScanRequest(datagram)) return {RequestKind::kScan, {}, {}};
    // Like the library, read the text up to its first NUL.
    const std::string_view text = datagram.substr(0, datagram.find('\0'));
    if (IsConfigureRequest(text)) return Configure(text);
    return {};
}

const std::vector<std::string>& Responder::ScanResponses() {
    if (responses_stale_) {
        responses_.clear();
        responses_.reserve(modules_.size());
        for (const Module& module : modules_) responses_.push_back(ComposeScanResponse(module));
        responses_stale_ = false;
    }
    return responses_;
}

Reaction Responder::Configure(std::string_view text) {
    Reaction reaction{RequestKind::kConfigure, {}, {}};
    const auto request = ParseConfigureRequest(text);
    if (!request) return reaction;
    for (std::size_t n = 0; n < std::min(modules_.size(), powered_); ++n) {
        Module& module = modules_[n];
        if (module.mac != request->mac) continue;
        reaction.repliers.push_back(n);
        if (!module.password.empty() && request->password != module.password) {
            reaction.replies.push_back(Reply("Invalid Password: ", module.mac));
            continue;
        }
        Apply(*request, module);
        responses_stale_ = true;
        reaction.replies.push_back(Reply("Reconfigured: ", module.mac));
    }
    return reaction;
}

}  // namespace tolm::sim
