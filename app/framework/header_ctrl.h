// CHeaderCtrl: a header control bound to its object. Its owner-drawn items
// are drawn by DrawItem: the request its parent gets is reflected here.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "framework/wnd.h"

class CHeaderCtrl : public CWnd {
  public:
    bool GetItem(int index, HDITEMA* item) const;
    bool SetItem(int index, const HDITEMA* item);
    int GetItemCount() const { return static_cast<int>(SendMessage(HDM_GETITEMCOUNT)); }

  protected:
    // Draws one owner-drawn item.
    virtual void DrawItem(DRAWITEMSTRUCT*) {}
    bool OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) override;
};
