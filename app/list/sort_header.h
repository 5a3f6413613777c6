// CSortHeaderCtrl: the device list's column header. It draws the sort
// column's item itself: the heading, shortened on the right, and a small 3-D
// triangle pointing up (ascending) or down (descending).
#pragma once

#include "framework/header_ctrl.h"

class CSortHeaderCtrl : public CHeaderCtrl {
  public:
    // Moves the arrow to `column` with `ascending`; the item becomes (and stays) owner-drawn.
    void SetSortArrow(int column, BOOL ascending);

    int m_bSortAsc = 1;
    int m_nSortCol = 0;

  protected:
    void DrawItem(DRAWITEMSTRUCT* item) override;
    static const MessageMap* ClassMessageMap();
    const MessageMap* GetMessageMap() const override { return ClassMessageMap(); }

  private:
    BOOL OnNcActivate(BOOL active);
    void OnPaint();
};
