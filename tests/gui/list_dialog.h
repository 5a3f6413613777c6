// The main window's template with a bound device list and nothing else: the
// list as the main window sets it up, without the library.
#pragma once

#include "framework/dialog.h"
#include "list/tolm_list_ctrl.h"
#include "tolm.h"

namespace gui_test {

inline constexpr const char* kMainColumns = "IP,90;SN,90;GW,90;DHCP,50;Version,50;Type,114;MAC,115";

class ListDialog : public CDialog {
  public:
    explicit ListDialog(const char* columns);

    CTolmListCtrl m_listDevices;
    int m_nSetColumnsResult = -1;

  protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    static const MessageMap* ClassMessageMap();
    const MessageMap* GetMessageMap() const override { return ClassMessageMap(); }

  private:
    void OnDestroy();
    const char* m_columns;
};

// A record as the library makes it: every byte 0xFF, nothing reported but the MAC.
TOLM_ModuleScanResponseType Module(unsigned char mac_last);
// "a.b.c.d" as the records hold it: first number in the most significant byte.
std::uint32_t Address(const char* dotted);

}  // namespace gui_test
