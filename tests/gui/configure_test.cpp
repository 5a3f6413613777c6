// Configuring the lab's simulated modules (the demo's eight) through the
// main window as a user does: a double-click on a row, the dialog's fields
// changed, Set; the datagram the simulator received, its answer and the list
// refilled with the new values. Passwords wrong, missing and right, a new
// password typed twice, alike or not, or left empty; host names legal and
// not, the list changing while the dialog is open, a module that reported
// little, an address refused and a gateway asked about, and a request too
// long for the protocol; after every refusal the dialog opens again. A module
// that reported no host name, opened with Enter: Set asks before it clears
// the name, and tells when no reply came. A MAC another sender answers as
// opens nothing.
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
#include "list/request_checks.h"
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

// Double-clicks the module's row in `column`; each dialog that follows (the
// configuration dialog opened again, the new password's) is driven by the
// next of `drives`. How many showed.
std::size_t ConfigureSteps(const Setup& setup, int module, int column,
                           const std::vector<std::function<void(HWND)>>& drives) {
    const int row = ModuleRow(setup.list, module);
    if (row < 0) return 0;
    return DriveDialogsOpenedBy(
        [&] { DoubleClickList(setup.list, ListCellCenter(setup.list, row, column)); }, drives);
}

void Cancel(HWND dialog) {
    ClickButton(dialog, IDCANCEL);
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
        std::vector<std::function<void(HWND)>> steps{[&a](HWND config) {
            Type(Item(config, IDC_PASSWORD), a.password);
            if (a.new_password != nullptr) {
                ClickButton(config, IDC_CHANGE_PASSWORD);
                Type(Item(config, IDC_NEW_PASSWORD), a.new_password);
            }
            SetAddress(config, IDC_IP_ADDRESS, a.ip);
            ClickButton(config, IDOK);
        }};
        // A new password is typed a second time before anything goes out.
        if (a.new_password != nullptr) {
            steps.push_back([&a](HWND confirm) {
                Type(Item(confirm, IDC_CONFIRM_PASSWORD), a.new_password);
                ClickButton(confirm, IDOK);
            });
        }
        ConfigureSteps(setup, kPasswordModule, 5, steps);
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

void CheckNewPasswordSlips(const Setup& setup) {
    const std::size_t before = SimulatorLogLines(kConfigure).size();
    setup.boxes.Clear();
    bool kept = false;
    const std::size_t mismatch =
        ConfigureSteps(setup, kPasswordModule, 0,
                       {[](HWND config) {
                            Type(Item(config, IDC_PASSWORD), "s3cret_new");
                            ClickButton(config, IDC_CHANGE_PASSWORD);
                            Type(Item(config, IDC_NEW_PASSWORD), "n3w_one");
                            ClickButton(config, IDOK);
                        },
                        [](HWND confirm) {
                            Type(Item(confirm, IDC_CONFIRM_PASSWORD), "n3w_onf");
                            ClickButton(confirm, IDOK);
                        },
                        [&kept](HWND config) {
                            kept = WindowText(Item(config, IDC_NEW_PASSWORD)) == "n3w_one" &&
                                   WindowText(Item(config, IDC_PASSWORD)) == "s3cret_new" &&
                                   ButtonChecked(config, IDC_CHANGE_PASSWORD);
                            Cancel(config);
                        }});
    const std::vector<MessageBoxCall> mismatch_told = setup.boxes.Calls();
    setup.boxes.Clear();
    setup.boxes.Answer(IDNO);
    const std::size_t emptied = ConfigureSteps(setup, kPasswordModule, 0,
                                               {[](HWND config) {
                                                    Type(Item(config, IDC_PASSWORD), "s3cret_new");
                                                    ClickButton(config, IDC_CHANGE_PASSWORD);
                                                    ClickButton(config, IDOK);
                                                },
                                                Cancel});
    setup.boxes.Answer(IDOK);
    const auto& asked = setup.boxes.Calls();
    Check(mismatch == 3 && kept && mismatch_told.size() == 1 &&
              IsWarning(mismatch_told[0], kNewPasswordMismatchText) && emptied == 2 &&
              asked.size() == 1 &&
              asked[0].type == (MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) &&
              asked[0].text.find("Remove the module's password?") != std::string::npos &&
              ConfigureSince(before, 0).empty(),
          "a new password typed differently the second time is refused and an empty one asked "
          "about; nothing goes out, and the dialog opens again with what was typed");
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
        std::string reopened_with;
        ConfigureSteps(setup, kModule, 6,
                       {[name](HWND config) {
                            Retype(Item(config, IDC_HOST_NAME), name);
                            ClickButton(config, IDOK);
                        },
                        [&reopened_with](HWND config) {
                            reopened_with = WindowText(Item(config, IDC_HOST_NAME));
                            Cancel(config);
                        }});
        const auto& calls = setup.boxes.Calls();
        if (calls.size() == 1 && IsWarning(calls[0], kIllegalHostNameText) &&
            calls[0].owner == nullptr && ConfigureSince(before, 0).empty() &&
            reopened_with == name) {
            refused += std::string("[") + shown + "]";
        }
    }
    Check(refused == "[plc-01][plc.local][plc 01][plc\\xE9]" &&
              ConfiguredMac(setup.dialog) == configured,
          "host names with a hyphen, a dot, a blank or a byte above 127 are refused with \"" +
              std::string(kIllegalHostNameText) +
              "\"; nothing is sent, and the dialog opens again with the name: " + refused);
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

void CheckSparseModule(const Setup& setup) {
    constexpr int kSparse = 7;
    const std::size_t before = SimulatorLogLines(kConfigure).size();
    bool blank = false;
    Configure(setup, kSparse, 2, [&blank](HWND config) {
        blank = !ControlEnabled(config, IDC_GATEWAY) && !ControlEnabled(config, IDC_DHCP_ON) &&
                WindowText(Item(config, IDC_HOST_NAME)) == "legacy_7";
    });
    const std::vector<std::string> sent = ConfigureSince(before);
    Check(blank && sent == std::vector<std::string>{Expected(kSparse,
                                                             "IP = 10.77.0.107;HN = legacy_7;")},
          "Set for a module that reported only its address and host name sends those and "
          "nothing else: no address it did not report, no DHCP state: " +
              (sent.empty() ? std::string("none") : sent.back()));
    WaitForRefill(setup.list, kSparse, "10.77.0.107");
}

void CheckRefusedAddress(const Setup& setup) {
    constexpr int kModule = 6;
    const std::size_t before = SimulatorLogLines(kConfigure).size();
    setup.boxes.Clear();
    setup.boxes.Answer(IDNO);
    bool typed_kept = false;
    bool gateway_kept = false;
    const std::size_t shown = ConfigureSteps(
        setup, kModule, 4,
        {[](HWND config) {
             Retype(Item(config, IDC_HOST_NAME), "pump_66");
             SetAddress(config, IDC_IP_ADDRESS, "0.0.0.0");
             ClickButton(config, IDOK);
         },
         [&typed_kept](HWND config) {
             typed_kept = AddressShown(config, IDC_IP_ADDRESS) == 0 &&
                          WindowText(Item(config, IDC_HOST_NAME)) == "pump_66";
             SaveScreenshot(config, "config-dialog-reopened");
             SetAddress(config, IDC_IP_ADDRESS, "10.77.0.166");
             SetAddress(config, IDC_GATEWAY, "10.1.1.1");
             ClickButton(config, IDOK);
         },
         [&gateway_kept](HWND config) {
             gateway_kept = AddressShown(config, IDC_GATEWAY) == Address("10.1.1.1") &&
                            AddressShown(config, IDC_IP_ADDRESS) == Address("10.77.0.166");
             SetAddress(config, IDC_GATEWAY, "10.77.0.254");
             ClickButton(config, IDOK);
         }});
    setup.boxes.Answer(IDOK);
    const std::vector<MessageBoxCall> told = setup.boxes.Calls();
    const std::vector<std::string> sent = ConfigureSince(before);
    Check(shown == 3 && typed_kept && gateway_kept && told.size() == 2 &&
              IsWarning(told[0],
                        "Configuration was NOT downloaded!\n\nThe IP address 0.0.0.0 would leave "
                        "the module without an address.") &&
              told[1].text.find("default gateway 10.1.1.1 is outside the subnet of the IP "
                                "address 10.77.0.166") != std::string::npos &&
              told[1].type == (MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2),
          "IP 0.0.0.0 is refused naming the field, a gateway outside the subnet asked about "
          "naming both; after each, No included, the dialog opens again as it was left");
    Check(sent == std::vector<std::string>{Expected(
                      kModule,
                      "IP = 10.77.0.166;SN = 255.255.0.0;GW = 10.77.0.254;DHCP = OFF;"
                      "HN = pump_66;DNS1 = 10.77.0.1;DNS2 = 10.77.0.2;")} &&
              WaitForRefill(setup.list, kModule, "10.77.0.166"),
          "only the corrected settings go out, once: " +
              (sent.empty() ? std::string("none") : sent.back()));
}

void CheckTooLong(const Setup& setup) {
    const std::size_t before = SimulatorLogLines(kConfigure).size();
    const std::string configured = ConfiguredMac(setup.dialog);
    setup.boxes.Clear();
    const std::size_t shown =
        ConfigureSteps(setup, 6, 3,
                       {[](HWND config) {
                            Retype(Item(config, IDC_HOST_NAME), std::string(100, 'a'));
                            ClickButton(config, IDOK);
                        },
                        Cancel});
    const auto& calls = setup.boxes.Calls();
    Check(shown == 2 && calls.size() == 1 &&
              IsWarning(calls[0],
                        "Configuration was NOT downloaded!\n\nThe host name is too long: "
                        "100 characters, at most 93 can be sent.") &&
              ConfigureSince(before, 0).empty() && ConfiguredMac(setup.dialog) == configured,
          "a request too long for the protocol is refused with a message naming the host name; "
          "nothing goes out, the dialog opens again and the remembered MAC stays " +
              configured);
}

void CheckNamelessAndSilent(const Setup& setup) {
    // Answers as no simulated module does: no host name, and nobody replies.
    constexpr int kNameless = 0x96;
    setup.tool.Answer(ModuleMac(kNameless), "10.77.0.196");
    WaitUntil([&] { return ModuleRow(setup.list, kNameless) >= 0; }, kPatience);
    const std::size_t before = SimulatorLogLines(kConfigure).size();
    setup.boxes.Clear();
    setup.boxes.Answer(IDNO);
    bool disabled = false;
    SelectListRow(setup.list, ModuleRow(setup.list, kNameless));
    ::SetFocus(setup.list);
    const std::size_t shown = DriveDialogsOpenedBy(
        [] {
            PressKey(VK_RETURN);
            PumpFor(300);
        },
        {[&disabled](HWND config) {
             disabled = !ControlEnabled(config, IDC_HOST_NAME);
             SetAddress(config, IDC_IP_ADDRESS, "10.77.0.197");
             ClickButton(config, IDOK);
         },
         [&setup](HWND config) {
             setup.boxes.Answer(IDYES);
             ClickButton(config, IDOK);
         }});
    const DWORD sent_at = ::GetTickCount();
    setup.boxes.Answer(IDOK);
    const std::vector<std::string> sent = ConfigureSince(before);
    const std::vector<MessageBoxCall> asked = setup.boxes.Calls();
    Check(shown == 2 && disabled && asked.size() == 2 &&
              asked[0].text.find("The module " + ModuleMac(kNameless) +
                                 " did not report its host name; Set sends an empty one, which "
                                 "clears any it has.") == 0 &&
              asked[0].type == (MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) &&
              sent == std::vector<std::string>{Expected(kNameless, "IP = 10.77.0.197;HN = ;")},
          "Enter opens a module that reported no host name; Set asks before it sends an empty "
          "one, No opens the dialog again, Yes sends it: " +
              (sent.empty() ? std::string("none") : sent.back()));
    setup.boxes.Clear();
    WaitUntil([&] { return !setup.boxes.Calls().empty(); }, kPatience);
    const DWORD waited = ::GetTickCount() - sent_at;
    const auto& told = setup.boxes.Calls();
    Check(told.size() == 1 && told[0].caption == std::string("Warning") &&
              told[0].owner == setup.dialog.m_hWnd &&
              told[0].text.find("No confirmation came from " + ModuleMac(kNameless)) == 0 &&
              waited >= 4500 && waited < 8000,
          "no reply to the request: after " + std::to_string(waited) +
              " ms one message names the module and says to scan");
}

void CheckAnsweredByTwo(const Setup& setup) {
    constexpr int kModule = 2;
    const std::string listed_ip = ModuleText(setup.list, kModule, 0);
    setup.tool.Answer(ModuleMac(kModule), "10.77.0.202");
    PumpFor(kQuietTime);
    setup.boxes.Clear();
    const bool opened = Configure(setup, kModule, 3, [](HWND) {});
    const auto& told = setup.boxes.Calls();
    Check(!opened && told.size() == 1 &&
              told[0].text.find("More than one device answers as " + ModuleMac(kModule)) == 0 &&
              told[0].text.find("\n10.77.0.11 on adapter") != std::string::npos &&
              told[0].text.find("\n10.77.0.1 on adapter") != std::string::npos &&
              ModuleText(setup.list, kModule, 0) == listed_ip,
          "another sender answering as a listed module: its row stays, a double-click warns "
          "naming both senders and opens nothing: " +
              (told.empty() ? std::string("no warning") : told[0].text));
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
        CheckNewPasswordSlips(setup);
        CheckHostNames(setup);
        CheckListChangesWhileOpen(setup);
        CheckSparseModule(setup);
        CheckRefusedAddress(setup);
        CheckTooLong(setup);
        CheckNamelessAndSilent(setup);
        CheckAnsweredByTwo(setup);
        ClickButton(window, IDOK);
    });
    Check(result == IDOK, "Exit ends the main window");
}

}  // namespace gui_test
