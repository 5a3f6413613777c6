// CEdit: an edit control bound to its object.
#pragma once

#include "framework/wnd.h"

class CEdit : public CWnd {
  public:
    bool SetReadOnly(bool read_only = true) {
        return SendMessage(EM_SETREADONLY, read_only ? TRUE : FALSE) != 0;
    }
};
