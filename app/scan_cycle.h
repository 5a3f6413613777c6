// What the main window does with the library, as plain functions over the
// binding: what to tell the user when a scan cannot go out, taking queued
// answers and the replies to configure requests, and how often
// "Reconfigured:" answers may lead to a rescan.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "confirmation_watch.h"
#include "list/configured_module.h"
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

// An answer and where it came from; the origin is null when the library does not tell.
using TakeAnswer =
    std::function<void(const TOLM_ModuleScanResponseType&, const TOLM_ResponseOriginType*)>;

// Takes queued answers one by one into `take` until the library's queue is
// empty, `budget_ms` have passed or a take had to wait for the library.
TakeOutcome TakeResponses(const TolmFunctions& tolm, DWORD budget_ms, const TakeAnswer& take);

// Asks the library to keep the replies to configure requests with their
// senders, where it can; until then it keeps none.
void KeepReplies(const TolmFunctions& tolm);

// Takes every entry off the library's invalid-password list and every kept
// reply, ending the waits in `watch` that they answer; true when a refusal
// speaks for `configured` (none while no request was sent), so that the user
// is to be warned. Where the library tells senders only a reply from the
// module's own speaks for it; otherwise an entry naming its MAC does, and a
// "Reconfigured:" (`reconfigured`: one was notified) ends every wait.
bool TakeReplies(const TolmFunctions& tolm, const std::optional<ConfiguredModule>& configured,
                 bool reconfigured, ConfirmationWatch& watch);

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
