// CDialog: a modal dialog run from a template of the program's resources.
// Values go in through data members before DoModal and come back through
// them afterwards; DoDataExchange moves them between members and controls.
#pragma once

#include "framework/data_exchange.h"
#include "framework/wnd.h"

class CDialog : public CWnd {
  public:
    explicit CDialog(UINT template_id, CWnd* parent = nullptr);

    // Creates the dialog from its template and runs it until EndDialog; the
    // result given to EndDialog, or -1 when the dialog could not be created.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result) { ::EndDialog(m_hWnd, result); }
    // Controls to members (`save` true) or members to controls; false when a
    // value failed its check (the control then has the focus).
    bool UpdateData(bool save = true);

  protected:
    virtual void DoDataExchange(CDataExchange&) {}
    // Puts the members into the controls; true lets the system focus the first tab stop.
    virtual BOOL OnInitDialog();
    // OK: the controls' values into the members, and the end with IDOK.
    virtual void OnOK();
    // Cancel, Escape and the close box: the end with IDCANCEL.
    virtual void OnCancel();

    static const MessageMap* ClassMessageMap();
    const MessageMap* GetMessageMap() const override { return ClassMessageMap(); }

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

  private:
    LRESULT HandleInitDialog(WPARAM, LPARAM);
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
};
