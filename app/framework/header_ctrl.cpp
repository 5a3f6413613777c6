#include "framework/header_ctrl.h"

bool CHeaderCtrl::GetItem(int index, HDITEMA* item) const {
    return SendMessage(HDM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item)) !=
           0;
}

bool CHeaderCtrl::SetItem(int index, const HDITEMA* item) {
    return SendMessage(HDM_SETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item)) !=
           0;
}

bool CHeaderCtrl::OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    if (message != WM_DRAWITEM) return CWnd::OnChildNotify(message, wparam, lparam, result);
    DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lparam));
    *result = TRUE;
    return true;
}
