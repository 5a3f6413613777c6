#include "framework/dialog.h"

#include "framework/win_app.h"

CDialog::CDialog(UINT template_id, CWnd* parent)
    : m_nIDTemplate(template_id), m_pParentWnd(parent) {}

INT_PTR CDialog::DoModal() {
    // Without a parent a dialog is modal over the program's main window.
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->m_hWnd : nullptr;
    const CWinApp* app = AfxGetApp();
    if (owner == nullptr && app != nullptr && app->m_pMainWnd != nullptr &&
        app->m_pMainWnd != this) {
        owner = app->m_pMainWnd->m_hWnd;
    }
    // The dialog window is bound to this object as it is created; its
    // procedure then routes every message here, and DialogProc leaves all to
    // the system's dialog processing.
    HookNextWindowCreation(this);
    const INT_PTR result = ::DialogBoxParamA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_nIDTemplate), owner, &DialogProc, 0);
    UnhookWindowCreation();
    return result;
}

bool CDialog::UpdateData(bool save) {
    CDataExchange dx(this, save);
    DoDataExchange(dx);
    return !dx.Failed();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    return OnInitDialog();
}

const MessageMap* CDialog::ClassMessageMap() {
    static constexpr MessageEntry kEntries[] = {
        OnMessage<&CDialog::HandleInitDialog>(WM_INITDIALOG),
        OnCommand<&CDialog::OnOK>(IDOK),
        OnCommand<&CDialog::OnCancel>(IDCANCEL),
    };
    static constexpr MessageMap kMap{nullptr, kEntries};
    return &kMap;
}
