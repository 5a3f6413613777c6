// Configuring the lab's simulated modules (the demo's eight) through the
// main window as a user does: a double-click on a row, the dialog's fields
// changed, Set; the datagram the simulator received, its answer and the list
// refilled with the new values. Passwords wrong, missing and right, a new
// password, host names legal and not, the list changing while the dialog is
// open, and a request too long for the protocol.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "check_log.h"
#include "ferrow_dlg.h"
#include "framework/win_app.h"
#include "gui_tests.h"
#include "harness.h"
#include "lab_environment.h"
#include "list/row_configuration.h"
#include "list_dialog.h"
#include "resource.h"

using tolm::windows_test::Check;

namespace gui_test {
namespace {

constexpr int kModules = 8;
constexpr int kMacColumn = 6;
constexpr int kPasswordModule = 5;
// The lab answers within a second or two; this is only the point of giving up.
constexpr DWORD kPatience = 10000;
// Time for a datagram that should not go out to show it would.
constexpr DWORD kQuietTime = 300;
constexpr const char* kConfigure = "Configure: ";

// The main window under test and what watches it.
struct Setup {
    CFerrowDlg& dialog;
    HWND list;
    MessageBoxRecorder& boxes;
    OtherTool& tool;
};

HWND Item(HWND dialog, int id) {
    return ::GetDlgItem(dialog, id);
}

void SetAddress(HWND dialog, int id, const char* dotted) {
    ::SendMessageA(Item(dialog, id), IPM_SETADDRESS, 0, static_cast<LPARAM>(Address(dotted)));
}

int ModuleRow(HWND list, int module) {
    return FindListRow(list, kMacColumn, ModuleMac(module));
}

std::string ModuleText(HWND list, int module, int column) {
    const int row = ModuleRow(list, module);
    return row < 0 ? std::string() : ListText(list, row, column);
}

// Double-clicks the module's row in `column`; `edit` changes the dialog's
// fields, then Set is pressed. Whether the dialog showed.
bool Configure(const Setup& setup, int module, int column, const std::function<void(HWND)>& edit) {
    const int row = ModuleRow(setup.list, module);
    if (row < 0) return false;
    return DriveDialogOpenedBy(
        [&] { DoubleClickList(setup.list, ListCellCenter(setup.list, row, column)); },
        [&](HWND config) {
            edit(config);
            ClickButton(config, IDOK);
        });
}

// The "Configure: " datagrams the simulator received after the first `before`.
std::vector<std::string> ConfigureSince(std::size_t before, std::size_t expected = 1) {
    WaitUntil([=] { return SimulatorLogLines(kConfigure).size() >= before + expected; }, kPatience);
    PumpFor(kQuietTime);
    std::vector<std::string> lines = SimulatorLogLines(kConfigure);
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(before));
    return lines;
}

// The module's request as the log shows it: the pieces after the MAC, then the NUL.
std::string Expected(int module, const std::string& pieces) {
    return kConfigure + ModuleMac(module) + ";" + pieces + "\\x00";
}

std::string ConfiguredMac(const CFerrowDlg& dialog) {
    std::uint8_t mac[TOLM_MAC_SIZE];
    if (!dialog.m_listDevices.GetConfiguredMac(mac)) return "none";
    return ModuleMac(mac[5]);
}

// Waits until the module's row shows `ip` after the list was emptied; the
// row counts seen meanwhile go to `counts`.
bool WaitForRefill(HWND list, int module, const std::string& ip, std::set<int>* counts = nullptr) {
    return WaitUntil(
        [=] {
            if (counts != nullptr) counts->insert(ListRowCount(list));
            return ModuleText(list, module, 0) == ip;
        },
        kPatience);
}

bool IsWarning(const MessageBoxCall& call, const std::string& text) {
    return call.text == text && call.caption == AfxGetApp()->m_pszAppName &&
           call.type == (MB_OK | MB_ICONEXCLAMATION);
}

void CheckConfigureAsAUser(const Setup& setup) {
    const std::size_t before = SimulatorLogLines(kConfigure).size();
    const int scans = ScansReceived();
    std::string caption;
    bool filled = false;
    bool modal = false;
    const bool shown = Configure(setup, 1, 4, [&](HWND config) {
        caption = WindowText(config);
        filled = AddressShown(config, IDC_IP_ADDRESS) == Address("10.77.0.101") &&
                 AddressShown(config, IDC_GATEWAY) == Address("10.77.0.1") &&
                 WindowText(Item(config, IDC_HOST_NAME)) == "press_1" &&
                 ButtonChecked(config, IDC_DHCP_OFF);
        modal = ::GetWindow(config, GW_OWNER) == setup.dialog.m_hWnd &&
                !::IsWindowEnabled(setup.dialog.m_hWnd);
        SaveScreenshot(config, "config-dialog");
        SetAddress(config, IDC_IP_ADDRESS, "10.77.0.121");
        SetAddress(config, IDC_SUBNET_MASK, "255.255.0.0");
        SetAddress(config, IDC_GATEWAY, "10.77.0.254");
        SetAddress(config, IDC_PRIMARY_DNS, "10.77.0.53");
        SetAddress(config, IDC_SECONDARY_DNS, "10.77.0.54");
        ClickButton(config, IDC_DHCP_ON);
        Retype(Item(config, IDC_HOST_NAME), "press_21");
    });
    Check(shown && caption == "Configure: " + ModuleMac(1) && filled && modal,
          "a double-click on a row's Version cell opens \"" + caption +
              "\" over the disabled main window, filled with the module's values");
    const std::vector<std::string> sent = ConfigureSince(before);
    Check(sent == std::vector<std::string>{Expected(
                      1,
                      "IP = 10.77.0.121;SN = 255.255.0.0;GW = 10.77.0.254;DHCP = ON;"
                      "HN = press_21;DNS1 = 10.77.0.53;DNS2 = 10.77.0.54;")},
          "Set sends exactly one request with the changed fields: " +
              (sent.empty() ? std::string("none") : sent.back()));
    std::set<int> counts;
    const bool refilled = WaitForRefill(setup.list, 1, "10.77.0.121", &counts);
    Check(refilled && *counts.begin() < kModules && ScansReceived() == scans + 1 &&
              ModuleText(setup.list, 1, 1) == "255.255.0.0" &&
              ModuleText(setup.list, 1, 2) == "10.77.0.254" &&
              ModuleText(setup.list, 1, 3) == "On" && ConfiguredMac(setup.dialog) == ModuleMac(1),
          "\"Reconfigured:\" empties the list and scans again; the row shows the new values");

    bool reread = false;
    const std::size_t after = SimulatorLogLines(kConfigure).size();
    const int row = ModuleRow(setup.list, 1);
    DriveDialogOpenedBy([&] { DoubleClickList(setup.list, ListCellCenter(setup.list, row, 0)); },
                        [&](HWND config) {
                            reread =
                                AddressShown(config, IDC_PRIMARY_DNS) == Address("10.77.0.53") &&
                                WindowText(Item(config, IDC_HOST_NAME)) == "press_21";
                            SetAddress(config, IDC_IP_ADDRESS, "10.77.0.199");
                            ClickButton(config, IDCANCEL);
                        });
    Check(
        reread && ConfigureSince(after, 0).empty() && ModuleText(setup.list, 1, 0) == "10.77.0.121",
        "the module reports its new DNS server and host name; Cancel sends nothing");
}

void CheckPasswords(const Setup& setup) {
    struct Attempt {
        const char* password;
        const char* new_password;  // null: "Change password" left alone
        const char* ip;
        bool accepted;
        const char* what;
    };
    const Attempt attempts[] = {
        {"wrong", nullptr, "10.77.0.155", false, "a wrong password"},
        {"", nullptr, "10.77.0.155", false, "no password"},
        {"secret", "s3cret_new", "10.77.0.155", true, "the right password and a new one"},
        {"secret", nullptr, "10.77.0.165", false, "the old password after the change"},
        {"s3cret_new", nullptr, "10.77.0.165", true, "the new password"},
    };
    std::string shown_ip = "10.77.0.105";
    for (const Attempt& a : attempts) {
        const std::size_t before = SimulatorLogLines(kConfigure).size();
        setup.boxes.Clear();
        Configure(setup, kPasswordModule, 5, [&a](HWND config) {
            Type(Item(config, IDC_PASSWORD), a.password);
            if (a.new_password != nullptr) {
                ClickButton(config, IDC_CHANGE_PASSWORD);
                Type(Item(config, IDC_NEW_PASSWORD), a.new_password);
            }
            SetAddress(config, IDC_IP_ADDRESS, a.ip);
        });
        std::string pieces =
            *a.password != '\0' ? std::string("Password: ") + a.password + ";" : "";
        if (a.new_password != nullptr)
            pieces += std::string("New Password = ") + a.new_password + ";";
        pieces += std::string("IP = ") + a.ip +
                  ";SN = 255.255.255.0;GW = 10.77.0.1;DHCP = OFF;HN = safety_5;DNS1 = 10.77.0.1;"
                  "DNS2 = 10.77.0.2;";
        const bool sent =
            ConfigureSince(before) == std::vector<std::string>{Expected(kPasswordModule, pieces)};
        bool outcome;
        if (a.accepted) {
            outcome =
                WaitForRefill(setup.list, kPasswordModule, a.ip) && setup.boxes.Calls().empty();
            shown_ip = a.ip;
        } else {
            WaitUntil([&setup] { return !setup.boxes.Calls().empty(); }, kPatience);
            const int scans = ScansReceived();
            ClickButton(setup.dialog.m_hWnd, IDC_SCAN);
            outcome = WaitUntil(
                          [&] {
                              return ScansReceived() > scans &&
                                     ModuleRow(setup.list, kPasswordModule) >= 0;
                          },
                          kPatience) &&
                      setup.boxes.Calls().size() == 1 &&
                      setup.boxes.Calls()[0].text == "Invalid password" &&
                      ModuleText(setup.list, kPasswordModule, 0) == shown_ip;
        }
        Check(sent && outcome,
              std::string(a.what) + ": the request goes out and the module " +
                  (a.accepted ? "takes it: its row shows " + std::string(a.ip)
                              : "refuses it: \"Invalid password\", its row unchanged"));
    }
}

void CheckHostNames(const Setup& setup) {
    constexpr int kModule = 3;
    std::string legal_sent;
    for (const char* name : {"plc_01", "Node7", ""}) {
        const std::size_t before = SimulatorLogLines(kConfigure).size();
        const int scans = ScansReceived();
        Configure(setup, kModule, 2,
                  [name](HWND config) { Retype(Item(config, IDC_HOST_NAME), name); });
        const std::vector<std::string> sent = ConfigureSince(before);
        if (sent.size() == 1 &&
            sent[0].find(std::string(";HN = ") + name + ";") != std::string::npos)
            legal_sent += std::string("[") + name + "]";
        WaitUntil([&] { return ScansReceived() > scans && ModuleRow(setup.list, kModule) >= 0; },
                  kPatience);
    }
    Check(
        legal_sent == "[plc_01][Node7][]",
        "host names plc_01 and Node7 are sent; an empty one goes out as \"HN = ;\": " + legal_sent);

    const std::string configured = ConfiguredMac(setup.dialog);
    std::string refused;
    // Each name, and how the check's line shows it.
    const std::pair<const char*, const char*> names[] = {{"plc-01", "plc-01"},
                                                         {"plc.local", "plc.local"},
                                                         {"plc 01", "plc 01"},
                                                         {"plc\xE9", "plc\\xE9"}};
    for (const auto& [name, shown] : names) {
        const std::size_t before = SimulatorLogLines(kConfigure).size();
        setup.boxes.Clear();
        Configure(setup, kModule, 6,
                  [name](HWND config) { Retype(Item(config, IDC_HOST_NAME), name); });
        const auto& calls = setup.boxes.Calls();
        if (calls.size() == 1 && IsWarning(calls[0], kIllegalHostNameText) &&
            calls[0].owner == nullptr && ConfigureSince(before, 0).empty()) {
            refused += std::string("[") + shown + "]";
        }
    }
    Check(refused == "[plc-01][plc.local][plc 01][plc\\xE9]" &&
              ConfiguredMac(setup.dialog) == configured,
          "host names with a hyphen, a dot, a blank or a byte above 127 are refused with \"" +
              std::string(kIllegalHostNameText) + "\"; nothing is sent: " + refused);
}

void CheckListChangesWhileOpen(const Setup& setup) {
    constexpr int kModule = 4;
    constexpr int kOther = 2;
    const std::size_t before = SimulatorLogLines(kConfigure).size();
    bool late_listed = false;
    bool refilled = false;
    const bool shown = Configure(setup, kModule, 1, [&](HWND config) {
        setup.tool.Answer(ModuleMac(0x96), "10.77.0.196");
        late_listed = WaitUntil([&] { return ModuleRow(setup.list, 0x96) >= 0; }, kPatience);
        setup.tool.Configure(ModuleMac(kOther), "IP = 10.77.0.152;");
        refilled =
            WaitForRefill(setup.list, kOther, "10.77.0.152") && ModuleRow(setup.list, 0x96) < 0;
        Retype(Item(config, IDC_HOST_NAME), "packer_44");
    });
    Check(shown && late_listed && refilled,
          "while the dialog is open a late answer is listed, and another module's "
          "\"Reconfigured:\" empties the list and scans again");
    const std::vector<std::string> sent = ConfigureSince(before, 2);
    Check(sent.size() == 2 &&
              sent[1] == Expected(kModule,
                                  "IP = 10.77.0.10;SN = 255.255.255.0;GW = 10.77.0.1;DHCP = ON;"
                                  "HN = packer_44;DNS1 = 10.77.0.1;DNS2 = 10.77.0.2;") &&
              ConfiguredMac(setup.dialog) == ModuleMac(kModule),
          "Set then configures the module that was double-clicked: " +
              (sent.empty() ? std::string("none") : sent.back()));
}

void CheckTooLong(const Setup& setup) {
    const std::size_t before = SimulatorLogLines(kConfigure).size();
    const std::string configured = ConfiguredMac(setup.dialog);
    setup.boxes.Clear();
    Configure(setup, 6, 3,
              [](HWND config) { Retype(Item(config, IDC_HOST_NAME), std::string(100, 'a')); });
    const auto& calls = setup.boxes.Calls();
    Check(calls.size() == 1 &&
              IsWarning(calls[0],
                        "Configuration was NOT downloaded!\n\nThe host name is too long: "
                        "100 characters, at most 93 can be sent.") &&
              ConfigureSince(before, 0).empty() && ConfiguredMac(setup.dialog) == configured,
          "a request too long for the protocol is refused with a message naming the host name; "
          "nothing goes out and the remembered MAC stays " +
              configured);
}

}  // namespace

void RunConfigureTests() {
    UseLibraryFolder("real");
    OtherTool tool;
    MessageBoxRecorder boxes;
    CFerrowDlg dialog;
    dialog.SetExitButtonText("Exit");
    const INT_PTR result = RunMainWindow(dialog, [&](HWND window) {
        const Setup setup{dialog, dialog.m_listDevices.m_hWnd, boxes, tool};
        Check(WaitUntil([&] { return ListRowCount(setup.list) == kModules; }, kPatience),
              "the eight simulated modules are listed");
        CheckConfigureAsAUser(setup);
        CheckPasswords(setup);
        CheckHostNames(setup);
        CheckListChangesWhileOpen(setup);
        CheckTooLong(setup);
        ClickButton(window, IDOK);
    });
    Check(result == IDOK, "Exit ends the main window");
}

}  // namespace gui_test
