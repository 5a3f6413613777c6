// CFerrowDlg: the main window: the device list, Scan and Exit. It binds the
// library when it opens and unbinds it when it closes, and opens the About
// box from its system menu.
#pragma once

#include "framework/button.h"
#include "framework/dialog.h"
#include "list/tolm_list_ctrl.h"

class CFerrowDlg : public CDialog {
  public:
    CFerrowDlg();

    CTolmListCtrl m_listDevices;
    HICON m_hIcon;
    CButton m_btnExit;

  protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    // Escape and cancel commands leave the main window open.
    void OnCancel() override {}
    static const MessageMap* ClassMessageMap();
    const MessageMap* GetMessageMap() const override { return ClassMessageMap(); }

  private:
    void OnSysCommand(UINT command, LPARAM position);
    void OnDestroy();
};
