// CFerrowDlg: the main window: the device list, Scan and Exit (OK in
// companion mode). It binds the library when it opens, sends the first scan
// at once, turns the library's notifications into rows, rescans and warnings,
// and stops and unbinds the library when it closes.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "framework/button.h"
#include "framework/dialog.h"
#include "list/tolm_list_ctrl.h"
#include "main_window_layout.h"

// Posted by TolmNotifyCallback to the main window; lParam is the notification code.
inline constexpr UINT WM_TOLM_NOTIFY = WM_USER + 1;

class CFerrowDlg : public CDialog {
  public:
    CFerrowDlg();

    // The Exit button's caption; called before the dialog runs.
    void SetExitButtonText(CString text) { m_strExitText = std::move(text); }

    // Columns 0 (IP) and 6 (MAC) of the row selected when Exit was pressed;
    // empty without a selected row and after the Close command.
    char m_szSelectedIp[18] = {};
    char m_szSelectedMac[18] = {};
    CString m_strExitText;
    CTolmListCtrl m_listDevices;
    HICON m_hIcon;
    CButton m_btnExit;

  protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    // Escape and every cancel command leave the main window open.
    void OnCancel() override {}
    static const MessageMap* ClassMessageMap();
    const MessageMap* GetMessageMap() const override { return ClassMessageMap(); }

  private:
    void OnSysCommand(UINT command, LPARAM position);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnScan();
    void OnSize(UINT kind, int width, int height);
    void OnSizing(UINT edge, RECT* window);
    LRESULT OnTolmNotify(WPARAM, LPARAM code);
    LRESULT HandleTolmNotification(LPARAM code);
    void OnExitClicked();
    void OnDestroy();
    LRESULT OnScanNotSent(WPARAM, LPARAM);

    // Records the template's layout (bRecord) or applies it to the current size.
    void ArrangeControls(bool bRecord);
    // Tells the user that a scan could not go out, and why.
    void ReportScanNotSent() const;

    std::optional<MainWindowLayout> m_layout;
};

// The main window while it runs bound to the library; only the GUI thread
// writes it, the library's worker thread reads it in TolmNotifyCallback.
extern std::atomic<CFerrowDlg*> g_pMainDlg;

// The library's callback: posts WM_TOLM_NOTIFY with the code to the main
// window, nothing else; it never blocks.
void TOLM_CALLBACK TolmNotifyCallback(std::int32_t code) noexcept;
