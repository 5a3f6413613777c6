// What a double-click on a device-list row (or Enter on the selected one)
// does, as plain functions: the row's module found by its MAC text, the
// configuration dialog's inputs from the module's record, the configure
// request from the dialog's outputs, and what the user is told when it is
// not sent.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "config/config_dlg.h"
#include "framework/list.h"
#include "tolm.h"

using MacBytes = std::array<std::uint8_t, TOLM_MAC_SIZE>;
using DeviceRecords = CList<TOLM_ModuleScanResponseType, const TOLM_ModuleScanResponseType&>;

inline constexpr const char* kIllegalHostNameText =
    "Illegal hostname! Configuration was NOT downloaded!";

// The low bytes of the six hexadecimal numbers of a row's MAC text
// ("02-00-0A-0B-0C-0D"); none when the text does not hold six, as "N/A".
std::optional<MacBytes> ParseRowMac(const char* text);

// Whether the list takes `key` from the dialog it sits in: Enter with a row
// selected opens that row, as a double-click does; without one, Enter stays
// the dialog's and presses Scan.
bool ListTakesKey(UINT key, int selected_row);

// A copy of the oldest record with these six MAC bytes; none when no record has them.
std::optional<TOLM_ModuleScanResponseType> FindDevice(const DeviceRecords& devices,
                                                      const MacBytes& mac);

// The dialog's inputs from the module's record: an address or the host name
// when its flag is 1, DHCP and the password state when theirs is nonzero.
void SetConfigInputs(const TOLM_ModuleScanResponseType& record, CConfigDlg& dialog);

// The request for the record's module from the dialog's outputs after Set.
// A value the module did not report, whose control the user could not
// reach, is left unchanged: an address as 255.255.255.255, DHCP with neither
// button set as 2. The others go out as the controls held them.
TOLM_ConfigureRequestType ConfigureRequestFrom(const TOLM_ModuleScanResponseType& record,
                                               const CConfigDlg& dialog);

// What the user is told when the library refuses to send `request`: that
// nothing went out, and which text is too long when that is why.
std::string ConfigurationNotSentText(const TOLM_ConfigureRequestType& request);
