// What a module may be given: one rule for every host that builds a
// configure request (the program's dialog, linkora's set, check and apply).
// Pure: the changes asked for, the module's record where it is known, and
// this PC's own adapter addresses. Each finding names the field it is about
// and says why in a sentence that names the field and its value.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "client/configure_request.h"
#include "tolm.h"

namespace tolm::client {

enum class RuleSeverity { kError, kWarning };

enum class RuleField {
    kIpAddress,
    kSubnetMask,
    kGateway,
    kDns1,
    kDns2,
    kHostName,
    kPassword,
    kNewPassword,
    kRequest,  // the request as a whole: too long
};

struct RuleFinding {
    RuleSeverity severity = RuleSeverity::kError;
    RuleField field = RuleField::kRequest;
    // "bad-address", "zero-address", "own-address", "network-or-broadcast-address",
    // "unsendable-address", "bad-mask", "gateway-outside-subnet", "illegal-host-name",
    // "host-name-needed", "unsendable-password", "empty-new-password", "too-long".
    std::string kind;
    // Lower case first, no full stop: "the subnet mask 255.0.255.0 is not a subnet mask: ...".
    std::string why;
};

// Judges what the changes give the module. An address or mask is judged
// only when it is given; the module's reported values (module may be null
// when it is not known yet) complete the picture where the judgement needs
// them: the subnet of a new address, the host name every request carries.
// With DHCP on in the result, 0.0.0.0 is an address still to come from the
// server. Errors: an address of
// 0.0.0.0, 255.255.255.255, loopback, multicast or class E, this PC's own
// address, the network or broadcast address of its own subnet, a mask whose
// bits are not contiguous (or 0.0.0.0), another address of 255.255.255.255,
// an illegal or missing host name, a password that cannot travel, a request
// too long. Warnings: a default gateway outside the new subnet, an empty new
// password (it removes the module's protection).
std::vector<RuleFinding> CheckChanges(const ConfigureChanges& changes,
                                      const TOLM_ModuleScanResponseType* module,
                                      const std::vector<std::uint32_t>& own_addresses);

bool HasRuleError(const std::vector<RuleFinding>& findings);

}  // namespace tolm::client
