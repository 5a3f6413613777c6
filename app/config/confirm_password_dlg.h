// CConfirmPasswordDlg: asks for a new password a second time, masked, before
// it goes to a module, so that a typing slip cannot lock the user out. After
// OK, m_strPassword holds what was typed.
#pragma once

#include "framework/dialog.h"
#include "framework/string.h"

class CConfirmPasswordDlg : public CDialog {
  public:
    CConfirmPasswordDlg();

    CString m_strPassword;

  protected:
    void DoDataExchange(CDataExchange& dx) override;
};
