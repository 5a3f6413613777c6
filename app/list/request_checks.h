// What stands between Set and a configure request going out, as plain
// functions over the dialog's outputs: what is refused (and the text the
// user is told), what is asked first, and when the new password is asked
// for a second time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/config_dlg.h"
#include "tolm.h"

inline constexpr const char* kNewPasswordMismatchText =
    "Configuration was NOT downloaded!\n\nThe new password typed the second time differs from "
    "the first.";

// Why `request`, built from `dialog`, is not sent, in the words the user
// sees: an illegal host name, an address that would cut the module off, is
// one of `own_addresses` (this PC's) or cannot be sent, a password the
// module would not store as typed, a request too long for the protocol.
// Empty when it can go out.
std::string RefusalText(const TOLM_ConfigureRequestType& request, const CConfigDlg& dialog,
                        const std::vector<std::uint32_t>& own_addresses);

// The Yes/No questions to ask before the request goes out, in order: a
// default gateway outside the new address's subnet, an empty new password
// that removes the module's protection. None when there is nothing to ask.
std::vector<std::string> QuestionsBeforeSending(const TOLM_ConfigureRequestType& request,
                                                const CConfigDlg& dialog);

// Whether the new password is to be typed a second time before the request
// goes out: one is being set and it is not empty.
bool AsksForNewPasswordAgain(const TOLM_ConfigureRequestType& request);
