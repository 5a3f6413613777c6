// Configure requests as hosts build them: from a module's record plus the
// user's changes, checked against the program's host-name rule and the
// protocol's limits before they go to the library.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tolm.h"

namespace tolm::client {

// Stores `text` and its NUL in a record's text field; false, and the field
// untouched, when it holds more than 127 characters or a NUL.
bool CopyText(std::string_view text, char (&field)[TOLM_TEXT_SIZE]);

// The program's rule: letters, digits and '_' only; an empty name passes.
bool IsLegalHostName(std::string_view name);

// Why the library would refuse to send the request because a piece or the
// whole text passes the protocol's limits, naming the field; empty when it
// fits.
std::string WhyTooLong(const TOLM_ConfigureRequestType& request);

// What the user changes; everything else keeps the module's reported value.
struct ConfigureChanges {
    std::optional<std::uint32_t> ip_address;
    std::optional<std::uint32_t> subnet_mask;
    std::optional<std::uint32_t> gateway;
    std::optional<std::uint32_t> dns1;
    std::optional<std::uint32_t> dns2;
    std::optional<bool> dhcp;
    std::optional<std::string> host_name;
    std::string password;  // the module's current password; empty for none
    std::optional<std::string> new_password;
};

// The request for the module of the record, as the configuration dialog
// builds it: reported values are sent again unless changed, so the host
// name and DHCP state are kept. A value the module did not report is left
// unchanged rather than sent as 0. Nothing, and why in *error, when the
// record has no MAC, a text is too long or the host name is illegal.
std::optional<TOLM_ConfigureRequestType> BuildConfigureRequest(
    const TOLM_ModuleScanResponseType& module, const ConfigureChanges& changes, std::string* error);

}  // namespace tolm::client
