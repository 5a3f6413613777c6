#include "ferrow_dlg.h"

#include <commctrl.h>

#include <cstring>

#include "program_icon.h"
#include "resource.h"
#include "tolm_library.h"
#include "version/about_dlg.h"

std::atomic<CFerrowDlg*> g_pMainDlg = nullptr;

namespace {

constexpr const char* kColumns = "IP,90;SN,90;GW,90;DHCP,50;Version,50;Type,114;MAC,115";
constexpr int kSelectedTextSize = 18;
// Posted when the first scan could not go out, so the user is told once the
// window shows.
constexpr UINT kWmScanNotSent = WM_APP;
// How long one message's handling takes answers before the window answers
// others and draws again.
constexpr DWORD kDrainBudgetMs = 50;
// Taking the rest of a flood of answers after the user's input or the
// library's thread; a rescan that waits for its second.
constexpr UINT_PTR kDrainTimer = 1;
// How often the list is drawn while answers keep coming: painting waits
// until no message is queued, which a flood of them would postpone to its end.
constexpr DWORD kDrawEveryMs = 250;
constexpr UINT_PTR kRescanTimer = 2;
// The next configure request whose module has not replied in time.
constexpr UINT_PTR kConfirmationTimer = 3;

RECT ChildRect(HWND parent, HWND child) {
    RECT rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void MoveChild(HWND child, const RECT& rect) {
    ::MoveWindow(child, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
}

SIZE ClientSize(HWND window) {
    RECT client;
    ::GetClientRect(window, &client);
    return {client.right, client.bottom};
}

}  // namespace

void TOLM_CALLBACK TolmNotifyCallback(std::int32_t code) noexcept {
    // The window outlives every call: the main window clears the pointer and
    // stops the library's thread before its window goes.
    CFerrowDlg* dialog = g_pMainDlg.load();
    if (dialog != nullptr && dialog->m_pending.Raise(code) &&
        !::PostMessageA(dialog->m_hWnd, WM_TOLM_NOTIFY, 0, code)) {
        dialog->m_pending.Unsent();
    }
}

CFerrowDlg::CFerrowDlg()
    : CDialog(IDD_MAIN), m_hIcon(LoadProgramIcon(::GetSystemMetrics(SM_CXICON))) {}

void CFerrowDlg::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_DEVICE_LIST, m_listDevices);
    DDX_Control(dx, IDOK, m_btnExit);
}

BOOL CFerrowDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CString title;
    title.LoadString(IDS_MAIN_TITLE);
    SetWindowText(title);
    CString about;
    if (HMENU menu = GetSystemMenu(false);
        menu != nullptr && about.LoadString(IDS_ABOUTBOX) && !about.IsEmpty()) {
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
    }
    SetIcon(m_hIcon, true);
    SetIcon(LoadProgramIcon(16), false);
    m_btnExit.SetWindowText(m_strExitText);
    m_szSelectedIp[0] = '\0';
    if (!CheckAndLoadTolmLibrary(*this)) {
        CDialog::OnCancel();
        return TRUE;
    }
    ArrangeControls(true);
    ArrangeControls(false);
    m_listDevices.SetExtendedStyle(LVS_EX_FULLROWSELECT);
    m_listDevices.SetColumns(kColumns);
    g_pMainDlg = this;
    const TolmFunctions& tolm = Tolm();
    tolm.TOLM_RegisterCallBack(&TolmNotifyCallback);
    tolm.TOLM_Start();
    KeepReplies(tolm);
    m_listDevices.ClearDevices();
    if (tolm.TOLM_SendModuleScan() == 0) ::PostMessageA(m_hWnd, kWmScanNotSent, 0, 0);
    return TRUE;
}

void CFerrowDlg::OnSysCommand(UINT command, LPARAM) {
    if ((command & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else if (command == SC_CLOSE) {
        // Accepted like Exit, but without taking the selection: the texts stay empty.
        OnOK();
    } else {
        Default();
    }
}

void CFerrowDlg::OnPaint() {
    if (!::IsIconic(m_hWnd)) {
        Default();
        return;
    }
    PAINTSTRUCT paint;
    const HDC dc = ::BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
    const POINT at = MinimisedIconPosition(
        ClientSize(m_hWnd), {::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON)});
    ::DrawIcon(dc, at.x, at.y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
}

HCURSOR CFerrowDlg::OnQueryDragIcon() {
    return m_hIcon;
}

void CFerrowDlg::OnScan() {
    m_listDevices.ClearDevices();
    if (Tolm().TOLM_SendModuleScan() == 0) ReportScanNotSent();
}

void CFerrowDlg::OnSize(UINT, int, int) {
    Default();
    if (::GetWindow(m_hWnd, GW_CHILD) != nullptr) ArrangeControls(false);
}

void CFerrowDlg::OnSizing(UINT edge, RECT* window) {
    Default();
    KeepMinimumSize(edge, *window);
}

LRESULT CFerrowDlg::OnTolmNotify(WPARAM, LPARAM) {
    DrainNotifications();
    return 1;
}

LRESULT CFerrowDlg::OnTimer(WPARAM timer, LPARAM) {
    ::KillTimer(m_hWnd, timer);
    if (timer == kDrainTimer) DrainNotifications();
    if (timer == kRescanTimer) Rescan();
    if (timer == kConfirmationTimer) OnConfirmationDue();
    return 0;
}

void CFerrowDlg::DrainNotifications() {
    const unsigned raised = m_pending.Take();
    const TakeOutcome taken = TakeAnswers();
    const int attempt = m_listDevices.GetConfigureAttempt();
    const bool refused =
        TakeReplies(Tolm(), m_listDevices.GetConfiguredModule(),
                    PendingNotifications::Has(raised, TOLM_NOTIFY_RECONFIGURED), m_confirmations);
    const bool warn = refused && attempt != m_nWarnedAttempt;
    if (PendingNotifications::Has(raised, TOLM_NOTIFY_RECONFIGURED)) OnReconfigured();
    // Raised again, so that the library's answers meanwhile post nothing.
    if (taken != TakeOutcome::kQueueEmpty && m_pending.Raise(TOLM_NOTIFY_RESPONSE))
        ContinueDraining(taken == TakeOutcome::kLibraryBusy);
    // Last: the box's own loop handles the notifications that arrive while
    // it is shown, and its attempt is marked warned before.
    if (warn) {
        m_nWarnedAttempt = attempt;
        MessageBox("Invalid password", "Warning", MB_OK | MB_ICONEXCLAMATION);
    }
}

TakeOutcome CFerrowDlg::TakeAnswers() {
    // Drawn once the slice is in: the list view would otherwise scroll its
    // window for every row inserted, tens of milliseconds each under Wine.
    bool added = false;
    const TakeOutcome outcome =
        TakeResponses(Tolm(), kDrainBudgetMs, [this, &added](const auto& response, auto origin) {
            m_listDevices.HoldDrawing(true);
            m_listDevices.AddResponse(response, origin);
            added = true;
        });
    m_listDevices.HoldDrawing(false);
    if (added && ::GetTickCount() - m_dwListDrawn >= kDrawEveryMs) {
        ::UpdateWindow(m_listDevices.m_hWnd);
        m_dwListDrawn = ::GetTickCount();
    }
    return outcome;
}

void CFerrowDlg::ContinueDraining(bool library_busy) {
    // A posted message comes before the user's input, a timer after it; the
    // timer also leaves the library's thread the time to get through.
    const bool input_waits = HIWORD(::GetQueueStatus(QS_INPUT)) != 0;
    if ((library_busy || input_waits) && ::SetTimer(m_hWnd, kDrainTimer, 0, nullptr) != 0) return;
    if (!::PostMessageA(m_hWnd, WM_TOLM_NOTIFY, 0, TOLM_NOTIFY_RESPONSE)) m_pending.Unsent();
}

void CFerrowDlg::OnReconfigured() {
    if (const std::optional<DWORD> wait = m_rescanLimit.OnReconfigured(::GetTickCount())) {
        if (*wait == 0 || ::SetTimer(m_hWnd, kRescanTimer, *wait, nullptr) == 0) Rescan();
    }
}

void CFerrowDlg::Rescan() {
    m_listDevices.ClearDevices();
    Tolm().TOLM_SendModuleScan();
    m_rescanLimit.Rescanned(::GetTickCount());
}

LRESULT CFerrowDlg::OnConfigureSent(WPARAM, LPARAM) {
    if (const std::optional<ConfiguredModule> module = m_listDevices.GetConfiguredModule()) {
        m_confirmations.Sent(*module, ::GetTickCount());
        ArmConfirmationTimer();
    }
    return 0;
}

void CFerrowDlg::ArmConfirmationTimer() {
    if (const std::optional<DWORD> due = m_confirmations.NextDue(::GetTickCount()))
        ::SetTimer(m_hWnd, kConfirmationTimer, *due, nullptr);
}

void CFerrowDlg::OnConfirmationDue() {
    const std::vector<ConfiguredModule> silent = m_confirmations.Expired(::GetTickCount());
    // Armed first: a box's own loop runs the timers of the requests after it.
    ArmConfirmationTimer();
    for (const ConfiguredModule& module : silent)
        MessageBox(NoConfirmationText(module).c_str(), "Warning", MB_OK | MB_ICONEXCLAMATION);
}

void CFerrowDlg::OnExitClicked() {
    const int row = m_listDevices.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0) {
        std::memset(m_szSelectedIp, 0, sizeof m_szSelectedIp);
        std::memset(m_szSelectedMac, 0, sizeof m_szSelectedMac);
    } else {
        m_listDevices.GetItemText(row, 0, m_szSelectedIp, kSelectedTextSize);
        m_listDevices.GetItemText(row, 6, m_szSelectedMac, kSelectedTextSize);
    }
    OnOK();
}

void CFerrowDlg::OnDestroy() {
    g_pMainDlg = nullptr;
    Default();
    m_listDevices.ClearDevices();
    if (IsTolmLibraryBound()) Tolm().TOLM_Stop();
    FreeTolmLibrary();
}

LRESULT CFerrowDlg::OnScanNotSent(WPARAM, LPARAM) {
    ReportScanNotSent();
    return 0;
}

void CFerrowDlg::ArrangeControls(bool bRecord) {
    const SIZE client = ClientSize(m_hWnd);
    const HWND list = m_listDevices.m_hWnd;
    const HWND scan = GetDlgItem(IDC_SCAN);
    const HWND exit = m_btnExit.m_hWnd;
    if (bRecord) {
        m_layout = RecordLayout(client, ChildRect(m_hWnd, list), ChildRect(m_hWnd, scan),
                                ChildRect(m_hWnd, exit));
    } else if (m_layout) {
        MoveChild(list, PlaceList(m_layout->list, client));
        MoveChild(scan, PlaceButton(m_layout->scan, client));
        MoveChild(exit, PlaceButton(m_layout->exit, client));
    }
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    ::UpdateWindow(m_hWnd);
}

void CFerrowDlg::ReportScanNotSent() const {
    MessageBox(ScanNotSentText(Tolm()).c_str(), "Error", MB_OK | MB_ICONSTOP);
}

const MessageMap* CFerrowDlg::ClassMessageMap() {
    static constexpr MessageEntry kEntries[] = {
        OnMessage<&CFerrowDlg::OnSysCommand>(WM_SYSCOMMAND),
        OnMessage<&CFerrowDlg::OnPaint>(WM_PAINT),
        OnMessage<&CFerrowDlg::OnQueryDragIcon>(WM_QUERYDRAGICON),
        OnCommand<&CFerrowDlg::OnScan>(IDC_SCAN),
        OnMessage<&CFerrowDlg::OnSize>(WM_SIZE),
        OnMessage<&CFerrowDlg::OnSizing>(WM_SIZING),
        // Handled here and never passed on: to the dialog procedure WM_USER + 1
        // is DM_SETDEFID, which would take the default button away from Scan.
        OnMessage<&CFerrowDlg::OnTolmNotify>(WM_TOLM_NOTIFY),
        OnMessage<&CFerrowDlg::OnTimer>(WM_TIMER),
        OnCommand<&CFerrowDlg::OnExitClicked>(IDOK),
        OnMessage<&CFerrowDlg::OnDestroy>(WM_DESTROY),
        OnMessage<&CFerrowDlg::OnScanNotSent>(kWmScanNotSent),
        OnMessage<&CFerrowDlg::OnConfigureSent>(WM_CONFIGURE_SENT),
    };
    static const MessageMap kMap{CDialog::ClassMessageMap(), kEntries};
    return &kMap;
}
