// What the main window does with the library, as plain functions over the
// binding: what to tell the user when a scan cannot go out, taking queued
// answers and invalid-password entries, and how often "Reconfigured:"
// answers may lead to a rescan.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "tolm_library.h"

// Why a scan could not go out and what to do, from the library's socket
// status; a library that does not tell gets the likeliest cause: another
// program holds UDP port 3250.
std::string ScanNotSentText(const TolmFunctions& tolm);

// Why TakeResponses stopped; in the last two cases answers may be left.
enum class TakeOutcome {
    kQueueEmpty,
    kTimeUp,
    // A take had to wait: the library's thread is busy with the socket, and
    // each further take would wait for another of its passes.
    kLibraryBusy,
};

// Takes queued answers one by one into `take` until the library's queue is
// empty, `budget_ms` have passed or a take had to wait for the library.
TakeOutcome TakeResponses(const TolmFunctions& tolm, DWORD budget_ms,
                          const std::function<void(const TOLM_ModuleScanResponseType&)>& take);

// Takes every entry off the library's invalid-password list; true when one
// names `configured` (null while no configure request was sent), so that the
// user is to be warned.
bool TakeInvalidPasswordEntries(const TolmFunctions& tolm, const std::uint8_t* configured);

// At most one rescan a second because of "Reconfigured:" answers, however
// many arrive: the first rescans at once, later ones wait for the second to
// be over, and all that arrive meanwhile share that one rescan.
class RescanLimit {
  public:
    // For answers arriving at `now` (milliseconds of the tick count): the
    // milliseconds until their rescan is due, 0 for at once; none when a
    // rescan is already due for them.
    std::optional<DWORD> OnReconfigured(DWORD now);
    // The rescan went out at `now`.
    void Rescanned(DWORD now);

  private:
    std::optional<DWORD> m_last;
    bool m_bDue = false;
};
