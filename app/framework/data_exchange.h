// Data exchange between a dialog's members and its controls, one call per
// control in DoDataExchange; the direction is the exchange's.
#pragma once

#include <windows.h>

#include "framework/string.h"

class CWnd;

class CDataExchange {
  public:
    CDataExchange(CWnd* dialog, bool save) : m_pDlgWnd(dialog), m_bSaveAndValidate(save) {}

    // The control `id`, remembered for the checks that follow its exchange.
    HWND PrepareControl(int id);
    // A check failed: the last control gets the focus and the exchange fails.
    void Fail();
    bool Failed() const { return m_bFailed; }
    HWND LastControl() const { return m_hWndLastControl; }

    CWnd* const m_pDlgWnd;
    const bool m_bSaveAndValidate;  // true: controls to members

  private:
    HWND m_hWndLastControl = nullptr;
    bool m_bFailed = false;
};

// Binds `control` to the dialog's control `id` (once; later exchanges keep it).
void DDX_Control(CDataExchange& dx, int id, CWnd& control);
// The control's text.
void DDX_Text(CDataExchange& dx, int id, CString& value);
// After DDX_Text: the edit takes at most `count` characters, and a longer text fails the save.
void DDV_MaxChars(CDataExchange& dx, const CString& value, int count);
// The index of the checked radio button in the group that begins at `id`; -1 for none.
void DDX_Radio(CDataExchange& dx, int id, int& value);
// A check box's state: 0 cleared, 1 checked, 2 indeterminate.
void DDX_Check(CDataExchange& dx, int id, int& value);
// An IP address control's address, first number in the most significant byte; blank reads 0.
void DDX_IPAddress(CDataExchange& dx, int id, DWORD& value);
