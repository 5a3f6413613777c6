// CIPAddressCtrl: an IP address control bound to its object. Addresses have
// their first number in the most significant byte.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "framework/wnd.h"

class CIPAddressCtrl : public CWnd {
  public:
    void SetAddress(DWORD address) { SendMessage(IPM_SETADDRESS, 0, static_cast<LPARAM>(address)); }
    // The number of fields that are not blank; blank fields read 0.
    int GetAddress(DWORD& address) const {
        return static_cast<int>(SendMessage(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)));
    }
    void ClearAddress() { SendMessage(IPM_CLEARADDRESS); }
    // Which fields are blank: bit 0 for the first (leftmost) number, up to bit 3.
    unsigned GetBlankFields() const;
    // Blanks the fields whose bits are set, as GetBlankFields gives them.
    void BlankFields(unsigned blank);
};
