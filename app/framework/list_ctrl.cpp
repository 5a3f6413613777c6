#include "framework/list_ctrl.h"

int CListCtrl::InsertColumn(int index, const char* heading, int format, int width) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<char*>(heading);
    column.iSubItem = index;
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(&column)));
}

int CListCtrl::InsertItem(int index, const char* text) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(text);
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int CListCtrl::InsertItem(int index, const char* text, DWORD_PTR data) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<char*>(text);
    item.lParam = static_cast<LPARAM>(data);
    return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

bool CListCtrl::SetItemText(int item, int subitem, const char* text) {
    LVITEMA value{};
    value.iSubItem = subitem;
    value.pszText = const_cast<char*>(text);
    return SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(item),
                       reinterpret_cast<LPARAM>(&value)) != 0;
}

bool CListCtrl::SetItemData(int item, DWORD_PTR data) {
    LVITEMA value{};
    value.mask = LVIF_PARAM;
    value.iItem = item;
    value.lParam = static_cast<LPARAM>(data);
    return SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&value)) != 0;
}

DWORD_PTR CListCtrl::GetItemData(int item) const {
    LVITEMA value{};
    value.mask = LVIF_PARAM;
    value.iItem = item;
    SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&value));
    return static_cast<DWORD_PTR>(value.lParam);
}

int CListCtrl::GetNextItem(int item, int flags) const {
    return static_cast<int>(
        SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(item), static_cast<LPARAM>(flags)));
}

int CListCtrl::GetItemText(int item, int subitem, char* text, int length) const {
    LVITEMA value{};
    value.iSubItem = subitem;
    value.pszText = text;
    value.cchTextMax = length;
    return static_cast<int>(
        SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&value)));
}

int CListCtrl::HitTest(POINT point) const {
    LVHITTESTINFO hit{};
    hit.pt = point;
    return static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

bool CListCtrl::SortItems(PFNLVCOMPARE compare, LPARAM parameter) {
    return SendMessage(LVM_SORTITEMS, static_cast<WPARAM>(parameter),
                       reinterpret_cast<LPARAM>(compare)) != 0;
}

void CListCtrl::SetExtendedStyle(DWORD styles) {
    SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, styles);
}
