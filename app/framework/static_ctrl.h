// CStatic: a static text or icon control bound to its object.
#pragma once

#include "framework/wnd.h"

class CStatic : public CWnd {
  public:
    HICON GetIcon() const { return reinterpret_cast<HICON>(SendMessage(STM_GETICON)); }
};
