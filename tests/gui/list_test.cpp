// The device list as a user sees it: columns, row texts, duplicates, sorting
// by header clicks, and what ClearDevices and the column spec do.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "allocation_count.h"
#include "check_log.h"
#include "gui_tests.h"
#include "harness.h"
#include "list/row_order.h"
#include "list_dialog.h"

using tolm::windows_test::Check;

namespace gui_test {
namespace {

using Texts = std::vector<std::string>;

std::string Join(const Texts& texts) {
    std::string joined;
    for (const std::string& text : texts) joined += (joined.empty() ? "" : " | ") + text;
    return joined;
}

Texts RowTexts(HWND list, int row) {
    Texts texts;
    for (int column = 0; column < 7; ++column) texts.push_back(ListText(list, row, column));
    return texts;
}

// Five modules whose texts differ in every column.
std::vector<TOLM_ModuleScanResponseType> SampleModules() {
    auto with = [](unsigned char mac, const char* ip, const char* mask, const char* gateway,
                   int dhcp, int major, int minor, int build, const char* type) {
        TOLM_ModuleScanResponseType r = Module(mac);
        if (ip) r.dwIpAddress = Address(ip), r.bIpAddressValid = 1;
        if (mask) r.dwSubnetMask = Address(mask), r.bSubnetMaskValid = 1;
        if (gateway) r.dwGateway = Address(gateway), r.bGatewayValid = 1;
        if (dhcp >= 0) r.bDhcpEnabled = static_cast<std::uint8_t>(dhcp), r.bDhcpValid = 1;
        if (major >= 0) {
            r.bModuleVersionMajor = static_cast<std::uint8_t>(major);
            r.bModuleVersionMinor = static_cast<std::uint8_t>(minor);
            r.wModuleVersionBuild = static_cast<std::uint16_t>(build);
            r.bModuleVersionValid = 1;
        }
        if (type) std::strcpy(r.szFbType, type), r.bFbTypeValid = 1;
        return r;
    };
    std::vector<TOLM_ModuleScanResponseType> modules = {
        with(0x01, "192.168.0.10", "255.255.255.0", "192.168.0.1", 1, 1, 2, 3, "PROFINET IO"),
        with(0x02, "192.168.0.9", "255.255.0.0", "10.0.0.1", 0, 1, 12, 3, "10 Port"),
        with(0x03, nullptr, "255.0.0.0", nullptr, -1, 2, 0, 0, "9 Port"),
        with(0x04, "10.0.0.5", nullptr, "192.168.0.254", 2, -1, 0, 0, nullptr),
        with(0x05, "172.16.0.1", "255.255.255.128", "172.16.0.254", 0, 1, 2, 10, "EtherNet/IP"),
    };
    modules[3].bMacIdValid = 0;
    return modules;
}

// The order a user expects: addresses by value before any other text; other texts as text.
bool InOrder(const std::string& a, const std::string& b, bool address_column) {
    if (address_column) {
        const bool a_address = a != "N/A";
        const bool b_address = b != "N/A";
        if (a_address != b_address) return a_address;
        if (a_address) return Address(a.c_str()) <= Address(b.c_str());
    }
    return ::lstrcmpA(a.c_str(), b.c_str()) <= 0;
}

bool Sorted(const Texts& texts, bool ascending, bool address_column) {
    for (std::size_t i = 1; i < texts.size(); ++i) {
        const bool ordered = ascending ? InOrder(texts[i - 1], texts[i], address_column)
                                       : InOrder(texts[i], texts[i - 1], address_column);
        if (!ordered) return false;
    }
    return true;
}

void CheckColumns(HWND list) {
    const HWND header = ListView_GetHeader(list);
    const Texts headings = {"IP", "SN", "GW", "DHCP", "Version", "Type", "MAC"};
    const int widths[] = {90, 90, 90, 50, 50, 114, 115};
    bool all = Header_GetItemCount(header) == 7;
    for (int column = 0; all && column < 7; ++column) {
        LVCOLUMNA format{};
        format.mask = LVCF_FMT;
        ListView_GetColumn(list, column, &format);
        all = HeaderText(header, column) == headings[static_cast<std::size_t>(column)] &&
              ListView_GetColumnWidth(list, column) == widths[column] &&
              (format.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_LEFT;
    }
    Check(all,
          "seven left-aligned columns IP 90, SN 90, GW 90, DHCP 50, Version 50, Type 114, "
          "MAC 115");
    Check((HeaderFormat(header, 0) & HDF_OWNERDRAW) == 0, "no sort arrow before the first module");
    Check((ListView_GetExtendedListViewStyle(list) & LVS_EX_FULLROWSELECT) != 0,
          "rows are selected whole");
}

void CheckRowsAndDuplicates(ListDialog& dialog, HWND list) {
    CTolmListCtrl& devices = dialog.m_listDevices;
    const auto modules = SampleModules();
    devices.AddResponse(modules[0]);
    Check(Join(RowTexts(list, 0)) ==
              "192.168.0.10 | 255.255.255.0 | 192.168.0.1 | On | 1.02.3 | PROFINET IO | "
              "02-00-0A-0B-0C-01",
          "a module's row: addresses, DHCP, %u.%02u.%u version, type and MAC");
    Check((HeaderFormat(ListView_GetHeader(list), 0) & HDF_OWNERDRAW) != 0,
          "the first module puts the arrow on the sort column");
    for (std::size_t i = 1; i < modules.size(); ++i) devices.AddResponse(modules[i]);
    Check(ListRowCount(list) == 5, "one row per module");

    // Ascending by IP: 10.0.0.5, 172.16.0.1, 192.168.0.9, 192.168.0.10, N/A.
    Check(Join(RowTexts(list, 2)) ==
              "192.168.0.9 | 255.255.0.0 | 10.0.0.1 | Off | 1.12.3 | 10 Port | 02-00-0A-0B-0C-02",
          "version 1.12.3, DHCP 0 reads Off");
    Check(Join(RowTexts(list, 0)) == "10.0.0.5 | N/A | 192.168.0.254 | Off | N/A | N/A | N/A",
          "DHCP 2 reads Off; a module without MAC, version or type shows N/A there");
    Check(ListText(list, 4, 0) == "N/A" && ListText(list, 4, 2) == "N/A" &&
              ListText(list, 4, 3) == "N/A",
          "unreported IP, gateway and DHCP read N/A");

    TOLM_ModuleScanResponseType again = modules[1];
    again.dwIpAddress = Address("192.168.0.99");
    devices.AddResponse(again);
    TOLM_ModuleScanResponseType no_mac_again = modules[3];
    no_mac_again.dwIpAddress = Address("10.0.0.6");
    devices.AddResponse(no_mac_again);
    Check(ListRowCount(list) == 5 && devices.m_Devices.GetCount() == 5 &&
              ListText(list, 2, 0) == "192.168.0.9" && ListText(list, 0, 0) == "10.0.0.5",
          "a listed module's second answer is dropped, with or without a reported MAC");

    TOLM_ModuleScanResponseType nothing;
    std::memset(&nothing, 0xFF, sizeof nothing);
    for (std::uint8_t* flag :
         {&nothing.bProtocolVersionValid, &nothing.bFbTypeValid, &nothing.bModuleVersionValid,
          &nothing.bMacIdValid, &nothing.bIpAddressValid, &nothing.bSubnetMaskValid,
          &nothing.bGatewayValid, &nothing.bDhcpValid, &nothing.bPswdValid, &nothing.bHostNameValid,
          &nothing.bDns1Valid, &nothing.bDns2Valid}) {
        *flag = 0;
    }
    devices.AddResponse(nothing);
    bool seven_na = false;
    for (int row = 0; row < ListRowCount(list); ++row) {
        seven_na =
            seven_na || Join(RowTexts(list, row)) == "N/A | N/A | N/A | N/A | N/A | N/A | N/A";
    }
    Check(seven_na, "a record that reports nothing shows seven N/A");

    devices.ClearDevices();
    devices.AddResponse(again);
    Check(ListRowCount(list) == 1 && ListText(list, 0, 0) == "192.168.0.99",
          "after ClearDevices a module's next answer is listed afresh");
    devices.ClearDevices();
}

void CheckSortingByClicks(ListDialog& dialog, HWND list) {
    CTolmListCtrl& devices = dialog.m_listDevices;
    const HWND header = ListView_GetHeader(list);
    for (const auto& module : SampleModules()) devices.AddResponse(module);
    Check(ListColumnTexts(list, 0) ==
              Texts{"10.0.0.5", "172.16.0.1", "192.168.0.9", "192.168.0.10", "N/A"},
          "at start the IP column sorts ascending by value, 192.168.0.9 before .10, N/A last");
    ClickHeaderItem(header, 0);
    Check(ListColumnTexts(list, 0) ==
              Texts{"N/A", "192.168.0.10", "192.168.0.9", "172.16.0.1", "10.0.0.5"},
          "the first click on IP sorts it descending");
    bool every_column = true;
    std::string failed;
    for (int column = 0; column < 7; ++column) {
        const bool address_column = column < 3;
        for (bool ascending : {true, false}) {
            ClickHeaderItem(header, column);
            const bool holds = Sorted(ListColumnTexts(list, column), ascending, address_column) &&
                               devices.m_nSortColumn == column &&
                               (devices.m_bSortAscending != 0) == ascending &&
                               devices.m_SortHeader.m_nSortCol == column &&
                               (devices.m_SortHeader.m_bSortAsc != 0) == ascending &&
                               (HeaderFormat(header, column) & HDF_OWNERDRAW) != 0;
            if (!holds) failed += " " + std::to_string(column) + (ascending ? "up" : "down");
            every_column = every_column && holds;
        }
    }
    Check(every_column,
          "a click sorts another column ascending, a second click descending; "
          "header arrow follows" +
              failed);
    ClickHeaderItem(header, 5);
    Check(
        ListColumnTexts(list, 5) == Texts{"10 Port", "9 Port", "EtherNet/IP", "N/A", "PROFINET IO"},
        "text columns sort as text: 10 Port before 9 Port; a third click is ascending again");

    ClickHeaderItem(header, 0);
    ClickHeaderItem(header, 0);
    Check(devices.m_nSortColumn == 0 && devices.m_bSortAscending == 0, "IP sorted descending");
    TOLM_ModuleScanResponseType newest = Module(0x40);
    newest.dwIpAddress = Address("192.168.1.1");
    newest.bIpAddressValid = 1;
    devices.AddResponse(newest);
    Check(ListText(list, 1, 0) == "192.168.1.1",
          "a new row is sorted in at once (highest address under N/A, descending)");
    SaveScreenshot(::GetAncestor(list, GA_ROOT), "device_list");
}

void CheckClearDevices(ListDialog& dialog, HWND list) {
    CTolmListCtrl& devices = dialog.m_listDevices;
    devices.ClearDevices();
    const long baseline = LiveAllocations();
    for (const auto& module : SampleModules()) devices.AddResponse(module);
    const long with_rows = LiveAllocations();
    devices.FreeRowTexts(2);
    Check(ListView_GetItemCount(list) == 5 && devices.GetItemData(2) == 0 &&
              LiveAllocations() < with_rows,
          "FreeRowTexts frees one row's texts and clears its item data");
    devices.ClearDevices();
    const long left = LiveAllocations() - baseline;
    Check(left == 0, "ClearDevices frees every row's texts and record (" +
                         std::to_string(with_rows - baseline) + " blocks for five rows, " +
                         std::to_string(left) + " left)");
    Check(ListRowCount(list) == 0 && devices.m_Devices.IsEmpty() && devices.m_nSortColumn == 0 &&
              devices.m_bSortAscending == 0 &&
              (HeaderFormat(ListView_GetHeader(list), 0) & HDF_OWNERDRAW) != 0,
          "ClearDevices empties rows and records and keeps the sort state");
    devices.ClearDevices();
    Check(ListRowCount(list) == 0 && devices.m_nSortColumn == 0, "ClearDevices on an empty list");

    std::uint8_t mac[TOLM_MAC_SIZE] = {};
    const bool before = devices.GetConfiguredMac(mac);
    const std::uint8_t configured[TOLM_MAC_SIZE] = {0, 0, 0, 0, 0, 0};
    devices.SetConfiguredMac(configured);
    std::memset(mac, 0xEE, sizeof mac);
    devices.ClearDevices();
    Check(!before && devices.GetConfiguredMac(mac) && std::memcmp(mac, configured, 6) == 0,
          "no configured MAC until one is set, not even 00-00-00-00-00-00; it survives "
          "ClearDevices");
}

void RunListDialog() {
    ListDialog dialog(kMainColumns);
    const INT_PTR result = RunModal(dialog, [&](HWND window) {
        const HWND list = ::GetDlgItem(window, 1002);
        Check(dialog.m_nSetColumnsResult == 1 && dialog.m_listDevices.m_nColumns == 7,
              "SetColumns reads the main window's spec to its end");
        CheckColumns(list);
        CheckRowsAndDuplicates(dialog, list);
        CheckSortingByClicks(dialog, list);
        CheckClearDevices(dialog, list);
        ClickButton(window, IDOK);
    });
    Check(result == IDOK, "the list's dialog ends with Exit");
}

// Columns the spec gives, and a record's row in a list with fewer or more columns.
void CheckColumnSpec(const char* spec, int result, const Texts& headings, const Texts& widths,
                     const std::string& first_row) {
    ListDialog dialog(spec);
    RunModal(dialog, [&](HWND window) {
        const HWND list = ::GetDlgItem(window, 1002);
        const HWND header = ListView_GetHeader(list);
        Texts seen_headings;
        Texts seen_widths;
        for (int column = 0; column < Header_GetItemCount(header); ++column) {
            seen_headings.push_back(HeaderText(header, column));
            seen_widths.push_back(std::to_string(ListView_GetColumnWidth(list, column)));
        }
        TOLM_ModuleScanResponseType module = Module(0x07);
        module.dwIpAddress = Address("10.1.2.3");
        module.bIpAddressValid = 1;
        dialog.m_listDevices.AddResponse(module);
        Texts row;
        for (int column = 0; column < Header_GetItemCount(header); ++column) {
            row.push_back(ListText(list, 0, column));
        }
        Check(dialog.m_nSetColumnsResult == result && seen_headings == headings &&
                  seen_widths == widths && Join(row) == first_row,
              "column spec \"" + std::string(spec) + "\": " + Join(seen_headings) + " / " +
                  Join(seen_widths) + " / row " + Join(row));
        ClickButton(window, IDOK);
    });
}

void CheckOrderRules() {
    Check(!IsDottedQuad("") && IsDottedQuad("1.2.3.4") && IsDottedQuad("1..2.3") &&
              !IsDottedQuad("1.2.3") && !IsDottedQuad("1.2.3.4.5") && !IsDottedQuad("N/A") &&
              !IsDottedQuad("1.02.3") && !IsDottedQuad(" 1.2.3.4"),
          "dotted quads: digits and exactly three dots");
    Check(CompareDottedQuad("192.168.0.9", "192.168.0.10") == -1 &&
              CompareDottedQuad("10.0.0.1", "10.0.0.1") == 0 &&
              CompareDottedQuad("255.255.255.255", "0.0.0.0") == 1 &&
              CompareDottedQuad("300.0.0.1", "1.1.1.1") == -1 &&
              CompareDottedQuad("1.1.1.1", "1.300.0.1") == 1,
          "addresses compare by value; a number above 255 comes first");
    const Texts texts = {"N/A", "192.168.0.1", "10.0.0.1", "300.1.1.1", "400.1.1.1",
                         "",    "10 Port",     "9 Port",   "1.02.3",    "0.0.0.0"};
    bool antisymmetric = true;
    for (const std::string& a : texts) {
        for (const std::string& b : texts) {
            const int forward = CompareColumnTexts(a.c_str(), b.c_str());
            const int backward = CompareColumnTexts(b.c_str(), a.c_str());
            antisymmetric = antisymmetric && (forward > 0) == (backward < 0) &&
                            (forward == 0) == (backward == 0);
        }
    }
    Check(antisymmetric, "every pair of texts orders the same whichever comes first");
    Check(CompareColumnTexts("192.168.0.1", "N/A") < 0 && CompareColumnTexts("N/A", "10.0.0.1") > 0,
          "addresses before N/A, whichever is compared first");
}

}  // namespace

void RunListTests() {
    CheckOrderRules();
    RunListDialog();
    CheckColumnSpec("A,10;B", 1, {"A"}, {"10"}, "10.1.2.3");
    CheckColumnSpec("A,;B,20", 1, {"A", "B"}, {"0", "20"}, "10.1.2.3 | N/A");
    CheckColumnSpec("", 1, {}, {}, "");
    CheckColumnSpec("IP,90;SN,90;GW,90;DHCP,50;Version,50;Type,114;MAC,115;Extra,40", 1,
                    {"IP", "SN", "GW", "DHCP", "Version", "Type", "MAC", "Extra"},
                    {"90", "90", "90", "50", "50", "114", "115", "40"},
                    "10.1.2.3 | N/A | N/A | N/A | N/A | N/A | 02-00-0A-0B-0C-07 | ");
}

}  // namespace gui_test
