// CListCtrl: a list-view control (report view) bound to its object.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "framework/string.h"
#include "framework/wnd.h"

class CListCtrl : public CWnd {
  public:
    int InsertColumn(int index, const char* heading, int format, int width);
    int InsertItem(int index, const char* text);
    // The same with the row's item data set at once.
    int InsertItem(int index, const char* text, DWORD_PTR data);
    bool SetItemText(int item, int subitem, const char* text);
    bool SetItemData(int item, DWORD_PTR data);
    DWORD_PTR GetItemData(int item) const;
    // The next row after `item` (-1: from the start) in the LVNI_ state `flags`; -1 for none.
    int GetNextItem(int item, int flags) const;
    // Copies at most `length` - 1 characters of the cell and a NUL; the characters copied.
    int GetItemText(int item, int subitem, char* text, int length) const;
    // The row at `point` (client coordinates); -1 for none.
    int HitTest(POINT point) const;
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    bool DeleteAllItems() { return SendMessage(LVM_DELETEALLITEMS) != 0; }
    // Orders the rows by `compare` over their item data.
    bool SortItems(PFNLVCOMPARE compare, LPARAM parameter);
    HWND GetHeaderCtrl() const { return reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)); }
    // Sets exactly `styles` (every other extended style is cleared).
    void SetExtendedStyle(DWORD styles);
};
