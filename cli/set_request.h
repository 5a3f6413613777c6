// What `linkora set` was asked to change, checked before anything is sent.
#pragma once

#include "address_text.h"
#include "cli/command_line.h"
#include "client/configure_request.h"

namespace tolm::linkora {

struct SetRequest {
    client::Mac mac;
    client::ConfigureChanges changes;  // passwords not yet filled in
};

// Reads the MAC and the addresses and checks the host name's characters
// and the texts' lengths; a usage failure naming what is wrong.
SetRequest CheckSetOptions(const SetOptions& options);

// The usage failure when a password cannot be sent as typed, or when the
// request with these passwords would not fit.
void CheckPasswords(const SetRequest& request, const std::optional<std::string>& current,
                    const std::optional<std::string>& next);

}  // namespace tolm::linkora
