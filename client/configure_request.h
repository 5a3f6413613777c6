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

// What a request carries for an address, and for DHCP, the module is to keep.
inline constexpr std::uint32_t kUnchangedAddress = 0xFFFFFFFF;
inline constexpr std::uint8_t kDhcpUnchanged = 2;

// Stores `text` and its NUL in a record's text field; false, and the field
// untouched, when it holds more than 127 characters or a NUL.
bool CopyText(std::string_view text, char (&field)[TOLM_TEXT_SIZE]);
// Stores at most the first 127 characters of `text`, up to a NUL, and a NUL:
// for texts that already passed a limit of their own (an edit's), where a cut
// is the only thing left to do with what does not fit.
void CopyTextCut(std::string_view text, char (&field)[TOLM_TEXT_SIZE]);

// The program's rule: letters, digits and '_' only; an empty name passes.
bool IsLegalHostName(std::string_view name);

// A request that names no module and changes nothing: every address
// 0xFFFFFFFF, DHCP 2, every text empty.
TOLM_ConfigureRequestType UnchangedRequest();

// Why the library would refuse to send the request because a piece or the
// whole text passes the protocol's limits, naming the field; empty when it
// fits.
std::string WhyTooLong(const TOLM_ConfigureRequestType& request);

// What the user changes; everything else is left as the module has it.
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

// The request for the module of the record that carries only the changes:
// every address and DHCP the user did not give is "leave unchanged", so a
// value the user never saw (or one another answer claimed) is never sent.
// The protocol has no "unchanged" for the host name, so its piece carries the
// new name or else the module's reported one. Nothing, and why in *error,
// when the record has no MAC, the module reported no host name and none is
// given, a text is too long, the host name is illegal or a password cannot
// be sent as typed.
std::optional<TOLM_ConfigureRequestType> BuildConfigureRequest(
    const TOLM_ModuleScanResponseType& module, const ConfigureChanges& changes, std::string* error);

// The request BuildConfigureRequest makes, without its checks, for hosts that
// check it in their own words first (the program): texts are stored with
// CopyTextCut, and a module that reported no host name and is given none
// gets an empty one.
TOLM_ConfigureRequestType ComposeRequest(const TOLM_ModuleScanResponseType& module,
                                         const ConfigureChanges& changes);

// The request's text as it goes on the wire, each password shown as "****".
std::string MaskedRequestText(const TOLM_ConfigureRequestType& request);

}  // namespace tolm::client
