// What `linkora set` was asked to change, checked before anything is sent.
#pragma once

#include <optional>
#include <string>

#include "address_text.h"
#include "cli/delivery/audit_log.h"
#include "cli/delivery/passwords.h"
#include "cli/plan/plan.h"
#include "cli/session/scan_timing.h"
#include "client/configure_request.h"

namespace tolm::linkora {

struct SetOptions {
    std::string mac;
    std::optional<std::string> ip, mask, gateway, dhcp, dns1, dns2, host_name;
    PasswordOptions passwords;
    bool no_verify = false;
    Milliseconds find_wait{3000}, confirm_wait{3000}, verify_wait{5000};
    LogOptions log;
    std::string report;  // empty: none
};

struct SetRequest {
    client::Mac mac;
    client::ConfigureChanges changes;  // passwords not yet filled in
};

// Reads the MAC and the addresses and checks the host name's characters
// and the texts' lengths; a usage failure naming what is wrong.
SetRequest CheckSetOptions(const SetOptions& options);

// The plan of one module that set delivers.
Plan PlanOf(const SetRequest& request);

// The usage failure when a password cannot be sent as typed, or when the
// request with these passwords would not fit.
void CheckPasswords(const SetRequest& request, const std::optional<std::string>& current,
                    const std::optional<std::string>& next);

}  // namespace tolm::linkora
