// CFerrowDlg: the main window: the device list, Scan and Exit (OK in
// companion mode). It binds the library when it opens, sends the first scan
// at once, turns the library's notifications into rows, rescans and warnings
// (a refused configure request, or one no reply came for), and stops and
// unbinds the library when it closes. Answers that arrive
// together are taken together, a slice at a time, so that the window keeps
// answering and drawing under a flood of them.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "confirmation_watch.h"
#include "framework/button.h"
#include "framework/dialog.h"
#include "list/tolm_list_ctrl.h"
#include "main_window_layout.h"
#include "pending_notifications.h"
#include "scan_cycle.h"

// Posted by TolmNotifyCallback to the main window when no notification was
// pending; lParam is the code that raised it.
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
    // Raised by TolmNotifyCallback on the library's thread.
    PendingNotifications m_pending;

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
    LRESULT OnTimer(WPARAM timer, LPARAM);
    void OnExitClicked();
    void OnDestroy();
    LRESULT OnScanNotSent(WPARAM, LPARAM);
    LRESULT OnConfigureSent(WPARAM, LPARAM);

    // Records the template's layout (bRecord) or applies it to the current size.
    void ArrangeControls(bool bRecord);
    // Tells the user that a scan could not go out, and why.
    void ReportScanNotSent() const;
    // Takes what the library queued: answers for one slice of time (the
    // rest by the next message), every invalid-password entry, and a rescan
    // for "Reconfigured:" answers.
    void DrainNotifications();
    // One slice of queued answers into the list.
    TakeOutcome TakeAnswers();
    // Asks for the next slice: at once, or after the user's input when some
    // waits, or after a pause when the library's thread is busy.
    void ContinueDraining(bool library_busy);
    void OnReconfigured();
    void Rescan();
    // Tells the user of each request whose wait for a reply is over, and
    // waits for the next.
    void OnConfirmationDue();
    void ArmConfirmationTimer();

    std::optional<MainWindowLayout> m_layout;
    RescanLimit m_rescanLimit;
    // The configure attempt whose "Invalid password" warning was shown.
    int m_nWarnedAttempt = 0;
    // Configure requests waiting for their module's reply.
    ConfirmationWatch m_confirmations;
    // When the list was last drawn while answers were taken (tick count).
    DWORD m_dwListDrawn = 0;
};

// The main window while it runs bound to the library; only the GUI thread
// writes it, the library's worker thread reads it in TolmNotifyCallback.
extern std::atomic<CFerrowDlg*> g_pMainDlg;

// The library's callback: raises the code for the main window and posts
// WM_TOLM_NOTIFY when no message is on its way, nothing else; it never blocks.
void TOLM_CALLBACK TolmNotifyCallback(std::int32_t code) noexcept;
