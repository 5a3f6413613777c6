// CAboutDlg: the About box: the program's icon, its caption from the string
// table and its product version, read from its own version resource.
#pragma once

#include "framework/dialog.h"
#include "framework/static_ctrl.h"
#include "framework/string.h"

class CAboutDlg : public CDialog {
  public:
    CAboutDlg();

    CString m_strVersion;
    CStatic m_ctlIcon;

  protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
};

// The version line for a "ProductVersion" string: "1, 6, 1, 3" gives
// "Version: 1.6.1.3" (blanks dropped, commas made full stops).
CString AboutVersionLine(const CString& product_version);
