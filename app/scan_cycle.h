// What the main window does with the library, as plain functions over the
// binding: what to tell the user when a scan cannot go out, and taking
// entries off the library's invalid-password list.
#pragma once

#include <cstdint>
#include <string>

#include "tolm_library.h"

// Why a scan could not go out and what to do, from the library's socket
// status; a library that does not tell gets the likeliest cause: another
// program holds UDP port 3250.
std::string ScanNotSentText(const TolmFunctions& tolm);

// For each "Invalid Password:" notification: takes the first entry off the
// library's list, exactly one per notification, so that an entry of another
// module never hides a later one. True when it names `configured` (null while
// no configure request was sent), so the user is to be warned.
bool TakeInvalidPasswordEntry(const TolmFunctions& tolm, const std::uint8_t* configured);

// For each "Reconfigured:" notification: drops the first entry when it names
// `configured`.
void DropConfiguredInvalidPasswordEntry(const TolmFunctions& tolm, const std::uint8_t* configured);
