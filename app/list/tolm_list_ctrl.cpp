#include "list/tolm_list_ctrl.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "client/configure_request.h"
#include "client/own_addresses.h"
#include "config/confirm_password_dlg.h"
#include "framework/message_box.h"
#include "list/column_spec.h"
#include "list/host_name_question.h"
#include "list/request_checks.h"
#include "list/row_configuration.h"
#include "list/row_order.h"
#include "record_text.h"
#include "tolm_library.h"

int CTolmListCtrl::SetColumns(const char* spec) {
    for (const ColumnSpec& column : ParseColumnSpec(spec)) {
        const int index = m_nColumns++;
        if (InsertColumn(index, column.heading.c_str(), LVCFMT_LEFT, column.width) < 0) return 0;
    }
    return 1;
}

void CTolmListCtrl::AddResponse(const TOLM_ModuleScanResponseType& response,
                                const TOLM_ResponseOriginType* origin) {
    if (!m_Answers.Add(response, origin)) return;
    m_Devices.AddTail(response);
    const tolm::client::ListTexts texts = tolm::client::ListRowTexts(response);
    InsertRow(texts);
    // The arrow shows from the first row on; sorting sets it again. Setting
    // it for every row would cost more than the row itself under Wine, where
    // the header's repaint request is a round trip to the wineserver.
    if (GetItemCount() == 1) m_SortHeader.SetSortArrow(m_nSortColumn, m_bSortAscending);
}

int CTolmListCtrl::InsertRow(std::span<const std::string> texts) {
    auto row_texts = std::make_unique<RowTexts>();
    for (int column = 0; column < m_nColumns; ++column) {
        const auto index = static_cast<std::size_t>(column);
        row_texts->texts.push_back(index < texts.size() ? texts[index] : std::string());
    }
    const std::vector<std::string>& copies = row_texts->texts;
    const int row = InsertItem(SortedPosition(*row_texts), copies.empty() ? "" : copies[0].c_str(),
                               reinterpret_cast<DWORD_PTR>(row_texts.get()));
    if (row < 0) return -1;
    // The row owns its texts from here on.
    const std::size_t at = std::min(static_cast<std::size_t>(row), m_RowsInOrder.size());
    m_RowsInOrder.insert(m_RowsInOrder.begin() + static_cast<std::ptrdiff_t>(at),
                         row_texts.release());
    for (int column = 1; column < m_nColumns; ++column) {
        SetItemText(row, column, copies[static_cast<std::size_t>(column)].c_str());
    }
    return row;
}

int CTolmListCtrl::SortedPosition(const RowTexts& texts) const {
    // The rows stand in sort order: every insertion keeps it, and so does
    // every sort. Sorting the whole list for each new row, as the order
    // itself would allow, costs seconds for a thousand answers under Wine.
    const auto key = reinterpret_cast<LPARAM>(&texts);
    const auto self = reinterpret_cast<LPARAM>(this);
    int first = 0;
    int end = static_cast<int>(m_RowsInOrder.size());
    while (first < end) {
        const int middle = first + (end - first) / 2;
        const auto row = reinterpret_cast<LPARAM>(m_RowsInOrder[static_cast<std::size_t>(middle)]);
        if (CompareRows(key, row, self) < 0) {
            end = middle;
        } else {
            first = middle + 1;
        }
    }
    return first;
}

void CTolmListCtrl::FreeRowTexts(int row) {
    delete reinterpret_cast<RowTexts*>(GetItemData(row));
    SetItemData(row, 0);
    if (row >= 0 && static_cast<std::size_t>(row) < m_RowsInOrder.size())
        m_RowsInOrder[static_cast<std::size_t>(row)] = nullptr;
}

void CTolmListCtrl::ClearDevices() {
    // The rows go before their texts, so that none points at freed texts,
    // and without a change of item data each, which the list view would
    // report to the main window: a second for 20,000 rows under Wine.
    std::vector<std::unique_ptr<RowTexts>> texts(m_RowsInOrder.begin(), m_RowsInOrder.end());
    m_RowsInOrder.clear();
    m_Devices.RemoveAll();
    m_Answers.Clear();
    DeleteAllItems();
}

bool CTolmListCtrl::GetConfiguredMac(std::uint8_t* mac) const {
    if (!m_ConfiguredMac) return false;
    std::copy(m_ConfiguredMac->begin(), m_ConfiguredMac->end(), mac);
    return true;
}

void CTolmListCtrl::SetConfiguredMac(const std::uint8_t* mac) {
    ConfiguredModule module;
    std::copy(mac, mac + TOLM_MAC_SIZE, module.mac.begin());
    SetConfiguredModule(module);
}

void CTolmListCtrl::SetConfiguredModule(const ConfiguredModule& module) {
    ++m_nConfigureAttempt;
    m_ConfiguredMac = module.mac;
    m_ConfiguredSender = module.sender;
    m_ConfiguredNewIp = module.new_ip;
}

std::optional<ConfiguredModule> CTolmListCtrl::GetConfiguredModule() const {
    if (!m_ConfiguredMac) return std::nullopt;
    return ConfiguredModule{*m_ConfiguredMac, m_ConfiguredSender, m_ConfiguredNewIp};
}

void CTolmListCtrl::SortByColumn(int column, BOOL ascending) {
    m_bSortAscending = ascending;
    m_nSortColumn = column;
    m_SortHeader.SetSortArrow(column, ascending);
    Resort();
}

void CTolmListCtrl::HoldDrawing(bool hold) {
    if (hold == m_bDrawingHeld) return;
    m_bDrawingHeld = hold;
    // The list view invalidates itself when drawing is allowed again.
    SendMessage(WM_SETREDRAW, hold ? FALSE : TRUE);
}

void CTolmListCtrl::Resort() {
    SortItems(&CompareRows, reinterpret_cast<LPARAM>(this));
    for (std::size_t row = 0; row < m_RowsInOrder.size(); ++row)
        m_RowsInOrder[row] = reinterpret_cast<RowTexts*>(GetItemData(static_cast<int>(row)));
}

int CALLBACK CTolmListCtrl::CompareRows(LPARAM first, LPARAM second, LPARAM list) {
    const auto* self = reinterpret_cast<const CTolmListCtrl*>(list);
    // A row without texts, or a sort column past them, compares as an empty text.
    const auto text_of = [self](LPARAM data) -> const char* {
        const auto* row = reinterpret_cast<const RowTexts*>(data);
        const auto column = static_cast<std::size_t>(self->m_nSortColumn);
        return row != nullptr && column < row->texts.size() ? row->texts[column].c_str() : "";
    };
    return self->m_bSortAscending ? CompareColumnTexts(text_of(first), text_of(second))
                                  : CompareColumnTexts(text_of(second), text_of(first));
}

void CTolmListCtrl::PreSubclassWindow() {
    CListCtrl::PreSubclassWindow();
    m_SortHeader.SubclassWindow(GetHeaderCtrl());
}

void CTolmListCtrl::OnColumnClick(NMHDR* notification, LRESULT* result) {
    const int column = reinterpret_cast<const NMLISTVIEW*>(notification)->iSubItem;
    const BOOL ascending = column == m_nSortColumn ? !m_bSortAscending : TRUE;
    SortByColumn(column, ascending);
    *result = 0;
}

void CTolmListCtrl::OnLButtonDblClk(UINT, POINT point) {
    Default();
    // The row is found by its height alone, whatever column was clicked.
    const int row = HitTest(POINT{2, point.y});
    if (row >= 0) ConfigureRow(row);
}

LRESULT CTolmListCtrl::OnGetDlgCode(WPARAM, LPARAM message) {
    const LRESULT code = Default();
    const auto* msg = reinterpret_cast<const MSG*>(message);
    const bool key = msg != nullptr && msg->message == WM_KEYDOWN;
    if (key && ListTakesKey(static_cast<UINT>(msg->wParam), GetNextItem(-1, LVNI_SELECTED)))
        return code | DLGC_WANTMESSAGE;
    return code;
}

LRESULT CTolmListCtrl::OnKeyDown(WPARAM key, LPARAM) {
    const int selected = GetNextItem(-1, LVNI_SELECTED);
    if (!ListTakesKey(static_cast<UINT>(key), selected)) return Default();
    ConfigureRow(selected);
    return 0;
}

void CTolmListCtrl::ConfigureRow(int row) {
    CConfigDlg dialog;
    char mac_text[18] = {};
    GetItemText(row, tolm::client::kColumnMac, mac_text, sizeof mac_text);
    dialog.m_strCaption = CString("Configure: ") + mac_text;
    // A row whose MAC reads "N/A" names no module to configure.
    const std::optional<MacBytes> mac = ParseRowMac(mac_text);
    if (!mac) return;
    // A copy: answers handled while the dialog is open may empty m_Devices.
    const std::optional<TOLM_ModuleScanResponseType> record = FindDevice(m_Devices, *mac);
    if (!record) return;
    if (const std::optional<std::string> conflict = m_Answers.ConflictText(*mac)) {
        AfxMessageBox(conflict->c_str(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const std::optional<std::uint32_t> sender = m_Answers.SenderOf(*mac);
    SetConfigInputs(*record, dialog);
    // After a refusal the dialog opens again with everything as the user left it.
    while (dialog.DoModal() == IDOK && !SendConfiguration(*record, sender, dialog)) {
    }
}

bool CTolmListCtrl::SendConfiguration(const TOLM_ModuleScanResponseType& record,
                                      std::optional<std::uint32_t> sender,
                                      const CConfigDlg& dialog) {
    const TOLM_ConfigureRequestType request = ConfigureRequestFrom(record, dialog);
    // Asked at each Set: an adapter may have come up or taken another address meanwhile.
    const std::vector<std::uint32_t> own = tolm::client::OwnAddresses(Tolm().TOLM_GetAdapters);
    if (const std::string refusal = RefusalText(request, dialog, own); !refusal.empty()) {
        AfxMessageBox(refusal.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    std::vector<std::string> questions = QuestionsBeforeSending(request, dialog);
    if (std::optional<std::string> question = HostNameQuestion(request, dialog))
        questions.insert(questions.begin(), std::move(*question));
    for (const std::string& question : questions) {
        if (AfxMessageBox(question.c_str(), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) != IDYES)
            return false;
    }
    if (AsksForNewPasswordAgain(request) && !ConfirmNewPassword(request.szNewPassword))
        return false;
    const std::optional<ConfiguredModule> previous = GetConfiguredModule();
    SetConfiguredModule(ConfiguredModuleOf(request, sender));
    if (Tolm().TOLM_SendConfigure(&request) != 0) {
        if (const HWND parent = ::GetParent(m_hWnd); parent != nullptr)
            ::SendMessageA(parent, WM_CONFIGURE_SENT, static_cast<WPARAM>(m_nConfigureAttempt), 0);
        return true;
    }
    // Nothing went out, so no reply will name this module.
    m_ConfiguredMac.reset();
    if (previous) {
        m_ConfiguredMac = previous->mac;
        m_ConfiguredSender = previous->sender;
        m_ConfiguredNewIp = previous->new_ip;
    }
    AfxMessageBox(ConfigurationNotSentText(request).c_str(), MB_OK | MB_ICONEXCLAMATION);
    return false;
}

bool CTolmListCtrl::ConfirmNewPassword(const char* new_password) {
    CConfirmPasswordDlg confirm;
    if (confirm.DoModal() != IDOK) return false;
    if (confirm.m_strPassword.str() == new_password) return true;
    AfxMessageBox(kNewPasswordMismatchText, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

const MessageMap* CTolmListCtrl::ClassMessageMap() {
    static constexpr MessageEntry kEntries[] = {
        OnMessage<&CTolmListCtrl::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
        OnMessage<&CTolmListCtrl::OnGetDlgCode>(WM_GETDLGCODE),
        OnMessage<&CTolmListCtrl::OnKeyDown>(WM_KEYDOWN),
        OnReflectedNotify<&CTolmListCtrl::OnColumnClick>(LVN_COLUMNCLICK),
    };
    static constexpr MessageMap kMap{nullptr, kEntries};
    return &kMap;
}
