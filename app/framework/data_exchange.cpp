#include "framework/data_exchange.h"

#include <commctrl.h>

#include "framework/message_box.h"
#include "framework/wnd.h"

HWND CDataExchange::PrepareControl(int id) {
    m_hWndLastControl = m_pDlgWnd->GetDlgItem(id);
    return m_hWndLastControl;
}

void CDataExchange::Fail() {
    m_bFailed = true;
    if (m_hWndLastControl != nullptr) ::SetFocus(m_hWndLastControl);
}

void DDX_Control(CDataExchange& dx, int id, CWnd& control) {
    if (control.m_hWnd == nullptr) control.SubclassWindow(dx.PrepareControl(id));
}

void DDX_Text(CDataExchange& dx, int id, CString& value) {
    const HWND control = dx.PrepareControl(id);
    if (dx.m_bSaveAndValidate) {
        std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(control)) + 1, '\0');
        text.resize(static_cast<std::size_t>(
            ::GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
        value = CString(std::move(text));
    } else {
        ::SetWindowTextA(control, value);
    }
}

void DDV_MaxChars(CDataExchange& dx, const CString& value, int count) {
    if (!dx.m_bSaveAndValidate) {
        ::SendMessageA(dx.LastControl(), EM_LIMITTEXT, static_cast<WPARAM>(count), 0);
    } else if (value.GetLength() > count) {
        CString prompt;
        prompt.Format("Enter no more than %d characters.", count);
        AfxMessageBox(prompt, MB_OK | MB_ICONEXCLAMATION);
        dx.Fail();
    }
}

void DDX_Radio(CDataExchange& dx, int id, int& value) {
    HWND button = dx.PrepareControl(id);
    if (dx.m_bSaveAndValidate) value = -1;
    // The group runs from `id` up to the next control that starts a group or is no radio button.
    for (int index = 0; button != nullptr; ++index) {
        if (dx.m_bSaveAndValidate) {
            if (::SendMessageA(button, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
        } else {
            ::SendMessageA(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        button = ::GetWindow(button, GW_HWNDNEXT);
        if (button == nullptr || (::GetWindowLongA(button, GWL_STYLE) & WS_GROUP) != 0 ||
            (::SendMessageA(button, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) == 0) {
            break;
        }
    }
}

void DDX_Check(CDataExchange& dx, int id, int& value) {
    const HWND box = dx.PrepareControl(id);
    if (dx.m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageA(box, BM_GETCHECK, 0, 0));
    } else {
        ::SendMessageA(box, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void DDX_IPAddress(CDataExchange& dx, int id, DWORD& value) {
    const HWND control = dx.PrepareControl(id);
    if (dx.m_bSaveAndValidate) {
        DWORD address = 0;
        ::SendMessageA(control, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
        value = address;
    } else {
        ::SendMessageA(control, IPM_SETADDRESS, 0, static_cast<LPARAM>(value));
    }
}
