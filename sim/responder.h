// What the simulated modules do with one received datagram. Pure: no
// sockets and no clock, so every reply can be checked without a network.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "module.h"

namespace tolm::sim {

enum class RequestKind { kIgnored, kScan, kConfigure };

struct Reaction {
    RequestKind kind = RequestKind::kIgnored;
    // Replies to a configure request, each a datagram with its NUL. A scan's
    // answers are taken from ScanResponses(), so that they can be spread out.
    std::vector<std::string> replies;
    // The module each reply is from, by its index in modules().
    std::vector<std::size_t> repliers;
};

class Responder {
  public:
    explicit Responder(std::vector<Module> modules);

    // datagram: the received bytes, as long as they came (any bytes at all).
    Reaction Handle(std::string_view datagram);

    const std::vector<Module>& modules() const { return modules_; }

    // Only the first count modules are powered up: the others take no
    // request. All of them are from the start.
    void SetPowered(std::size_t count) { powered_ = count; }

    // Every module's scan-response datagram, in module order; composed once
    // and again only after a configure request changed a module.
    const std::vector<std::string>& ScanResponses();

  private:
    Reaction Configure(std::string_view text);

    std::vector<Module> modules_;
    std::vector<std::string> responses_;
    bool responses_stale_ = true;
    std::size_t powered_ = static_cast<std::size_t>(-1);
};

}  // namespace tolm::sim
