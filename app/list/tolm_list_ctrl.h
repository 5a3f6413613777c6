// CTolmListCtrl: the list of discovered modules. One row of seven texts per
// module, keyed by its MAC (later answers of a listed module only tell who
// else answers as it), sorted by the column whose header was clicked last.
// A double-click on a row, or Enter on the selected one, configures its
// module through the configuration dialog.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "config/config_dlg.h"
#include "framework/list.h"
#include "framework/list_ctrl.h"
#include "list/configured_module.h"
#include "list/mac_answers.h"
#include "list/sort_header.h"
#include "tolm.h"
#include "tolm_ext.h"

// Sent to the list's parent once a configure request went out, so that the
// main window waits for the module's reply; wParam is the attempt's number.
inline constexpr UINT WM_CONFIGURE_SENT = WM_APP + 1;

// A row's own copies of its column texts, held as the row's item data.
struct RowTexts {
    std::vector<std::string> texts;
};

class CTolmListCtrl : public CListCtrl {
  public:
    // Adds the columns of `spec` ("IP,90;SN,90;..."); 0 when one cannot be inserted.
    int SetColumns(const char* spec);
    // Lists the module unless one with the same six MAC bytes is listed; its
    // row takes its place in the sort order at once. Every answer's sender
    // (`origin`, null when the library does not tell) and values are kept.
    void AddResponse(const TOLM_ModuleScanResponseType& response,
                     const TOLM_ResponseOriginType* origin = nullptr);
    // Removes every row with its texts and every record; the sort order stays.
    void ClearDevices();
    // The MAC of the module the last configure request went to; false while none was sent.
    bool GetConfiguredMac(std::uint8_t* mac) const;
    // Remembers the module a configure request goes to; each call starts a new attempt.
    void SetConfiguredMac(const std::uint8_t* mac);
    // The same with the sender the module answered from and its new address.
    void SetConfiguredModule(const ConfiguredModule& module);
    // The module the last configure request went to; none while none was sent.
    std::optional<ConfiguredModule> GetConfiguredModule() const;
    // Counts the configure attempts: 0 before the first.
    int GetConfigureAttempt() const { return m_nConfigureAttempt; }
    void SortByColumn(int column, BOOL ascending);
    // Sorts the rows again with the current sort state.
    void Resort();
    // Holds the list's drawing (hold) or draws every change since at once.
    // While a burst of answers is handled the list view would otherwise
    // scroll its window for every row inserted, tens of milliseconds each
    // under Wine; nothing is painted before the burst is handled anyway.
    void HoldDrawing(bool hold);
    // Inserts a row of the first m_nColumns texts (missing ones empty) where
    // the sort order puts it, after the rows it sorts equal to; its index or -1.
    int InsertRow(std::span<const std::string> texts);
    void FreeRowTexts(int row);
    // The list view's comparison: item data of two rows, the list as `list`.
    static int CALLBACK CompareRows(LPARAM first, LPARAM second, LPARAM list);

    CList<TOLM_ModuleScanResponseType, const TOLM_ModuleScanResponseType&> m_Devices;
    // Empty until a configure request was sent, so no reported MAC matches before.
    std::optional<std::array<std::uint8_t, TOLM_MAC_SIZE>> m_ConfiguredMac;
    // Where that module answered from, and the address the request gave it.
    std::optional<std::uint32_t> m_ConfiguredSender;
    std::optional<std::uint32_t> m_ConfiguredNewIp;
    int m_nConfigureAttempt = 0;
    // Every answer since the last scan by MAC, so that a new answer is
    // matched at once however many modules are listed.
    MacAnswers m_Answers;
    // Each row's texts in the order the list shows them, so that a new row's
    // place is found without asking the list view for item data row by row.
    std::vector<RowTexts*> m_RowsInOrder;
    int m_nColumns = 0;
    int m_nSortColumn = 0;
    CSortHeaderCtrl m_SortHeader;
    int m_bSortAscending = 1;
    bool m_bDrawingHeld = false;

  protected:
    void PreSubclassWindow() override;
    static const MessageMap* ClassMessageMap();
    const MessageMap* GetMessageMap() const override { return ClassMessageMap(); }

  private:
    // Where a row of `texts` goes: after every row that does not sort after it.
    int SortedPosition(const RowTexts& texts) const;
    void OnColumnClick(NMHDR* notification, LRESULT* result);
    // Configures the module of the row at the pointer's height.
    void OnLButtonDblClk(UINT flags, POINT point);
    // Enter on the selected row goes to the list rather than to Scan.
    LRESULT OnGetDlgCode(WPARAM key, LPARAM message);
    LRESULT OnKeyDown(WPARAM key, LPARAM flags);
    // Configures the row's module through the configuration dialog, opened
    // again after every refusal; a MAC that more than one sender, or
    // differing values, answered as is told about and opens nothing.
    void ConfigureRow(int row);
    // Checks what the dialog holds, asks what is to be asked and sends the
    // request; false when nothing went out. `sender` is where the module answered from.
    bool SendConfiguration(const TOLM_ModuleScanResponseType& record,
                           std::optional<std::uint32_t> sender, const CConfigDlg& dialog);
    // Asks for `new_password` a second time; false, with the user told, when
    // it differs or the user cancels.
    bool ConfirmNewPassword(const char* new_password);
};
