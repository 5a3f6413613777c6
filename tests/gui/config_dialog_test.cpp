// The configuration dialog on its own: its inputs shown in the controls, the
// enabling rules, "Change password", the 127-character limits, the outputs
// after Set and Cancel, and what it shows when opened again; the new
// password's second dialog; the edge cases of the steps around it (inputs
// from a record, the request from the outputs, what Set refuses and asks,
// the row's MAC, the not-sent text, the host-name question, who answered as
// a MAC, whose reply ends the wait for one); and double-clicks and Enter on
// the device list.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "check_log.h"
#include "config/config_dlg.h"
#include "config/confirm_password_dlg.h"
#include "confirmation_watch.h"
#include "gui_tests.h"
#include "harness.h"
#include "list/host_name_question.h"
#include "list/mac_answers.h"
#include "list/request_checks.h"
#include "list/row_configuration.h"
#include "list_dialog.h"
#include "resource.h"

using tolm::windows_test::Check;

namespace gui_test {
namespace {

constexpr int kAddressIds[] = {IDC_IP_ADDRESS, IDC_SUBNET_MASK, IDC_GATEWAY, IDC_PRIMARY_DNS,
                               IDC_SECONDARY_DNS};
const std::string kLongName(127, 'h');

HWND Item(HWND dialog, int id) {
    return ::GetDlgItem(dialog, id);
}

// The edit of field `index` (0 leftmost) of an IP address control.
HWND AddressField(HWND control, int index) {
    std::vector<std::pair<LONG, HWND>> fields;
    for (HWND child = ::GetWindow(control, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        ::GetWindowRect(child, &rect);
        fields.emplace_back(rect.left, child);
    }
    std::sort(fields.begin(), fields.end());
    return fields.at(static_cast<std::size_t>(index)).second;
}

void FillEveryInput(CConfigDlg& dialog) {
    dialog.m_strCaption = "Configure: 02-00-0A-0B-0C-01";
    dialog.m_dwIpAddress = Address("192.168.0.10");
    dialog.m_dwSubnetMask = Address("255.255.255.0");
    dialog.m_dwGateway = Address("192.168.0.1");
    dialog.m_dwPrimaryDns = Address("192.168.0.2");
    dialog.m_dwSecondaryDns = Address("192.168.0.3");
    dialog.m_bIpAddressValid = dialog.m_bSubnetMaskValid = dialog.m_bGatewayValid = 1;
    dialog.m_bPrimaryDnsValid = dialog.m_bSecondaryDnsValid = dialog.m_bHostNameValid = 1;
    std::strcpy(dialog.m_szHostName, kLongName.c_str());
    dialog.m_nDhcp = 1;
    dialog.m_bPasswordProtected = 1;
}

// The static labels of `dialog` whose text does not fit their control on one
// line, so that a word of theirs would wrap out of sight.
std::string LabelsCut(HWND dialog) {
    std::string cut;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        char kind[16] = {};
        ::GetClassNameA(child, kind, sizeof kind);
        if (lstrcmpiA(kind, "Static") != 0) continue;
        const std::string text = WindowText(child);
        RECT room;
        ::GetClientRect(child, &room);
        RECT needed{0, 0, 0, 0};
        const HDC dc = ::GetDC(child);
        const HGDIOBJ font =
            ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(child, WM_GETFONT, 0, 0)));
        ::DrawTextA(dc, text.c_str(), -1, &needed, DT_CALCRECT | DT_SINGLELINE);
        ::SelectObject(dc, font);
        ::ReleaseDC(child, dc);
        if (needed.right > room.right) cut += "\"" + text + "\" ";
    }
    return cut;
}

void CheckOpened(HWND window) {
    bool shown = true;
    for (const int id : kAddressIds) shown = shown && ControlEnabled(window, id);
    for (const int id : {IDC_HOST_NAME, IDC_PASSWORD, IDC_NEW_PASSWORD}) {
        shown = shown && ::SendMessageA(Item(window, id), EM_GETLIMITTEXT, 0, 0) == 127;
    }
    const std::string cut = LabelsCut(window);
    Check(cut.empty(), "every label fits on its line, none cut to its first word: " + cut);
    Check(shown && WindowText(window) == "Configure: 02-00-0A-0B-0C-01" &&
              ::SendMessageA(window, WM_GETICON, ICON_BIG, 0) != 0 &&
              ::SendMessageA(window, WM_GETICON, ICON_SMALL, 0) != 0 &&
              AddressShown(window, IDC_IP_ADDRESS) == Address("192.168.0.10") &&
              AddressShown(window, IDC_SUBNET_MASK) == Address("255.255.255.0") &&
              AddressShown(window, IDC_GATEWAY) == Address("192.168.0.1") &&
              AddressShown(window, IDC_PRIMARY_DNS) == Address("192.168.0.2") &&
              AddressShown(window, IDC_SECONDARY_DNS) == Address("192.168.0.3") &&
              WindowText(Item(window, IDC_HOST_NAME)) == kLongName,
          "caption, icons and every reported value shown and editable, the 127-character host "
          "name whole; each edit takes 127 characters");
    Check(ButtonChecked(window, IDC_DHCP_OFF) && !ButtonChecked(window, IDC_DHCP_ON) &&
              ControlEnabled(window, IDC_DHCP_ON) && !EditReadOnly(window, IDC_PASSWORD) &&
              EditReadOnly(window, IDC_NEW_PASSWORD) && !ButtonChecked(window, IDC_CHANGE_PASSWORD),
          "DHCP 1 checks \"Off\"; with a password in force the password is writable, the new "
          "password waits for \"Change password\"");
}

void CheckEveryInputShown() {
    CConfigDlg dialog;
    FillEveryInput(dialog);
    const INT_PTR result = RunModal(dialog, [&dialog](HWND window) {
        CheckOpened(window);
        Type(Item(window, IDC_PASSWORD), "secret");
        ClickButton(window, IDC_CHANGE_PASSWORD);
        const bool writable = !EditReadOnly(window, IDC_NEW_PASSWORD);
        Type(Item(window, IDC_NEW_PASSWORD), "fresh_1");
        ClickButton(window, IDC_CHANGE_PASSWORD);
        Check(writable && EditReadOnly(window, IDC_NEW_PASSWORD) &&
                  WindowText(Item(window, IDC_NEW_PASSWORD)) == "fresh_1" &&
                  dialog.m_bChangePassword == 0,
              "\"Change password\" makes the new password writable and read-only again, "
              "keeping what was typed");
        ClickButton(window, IDC_DHCP_ON);
        Type(Item(window, IDC_HOST_NAME), "x");
        Check(ControlEnabled(window, IDC_IP_ADDRESS) && ControlEnabled(window, IDC_GATEWAY) &&
                  WindowText(Item(window, IDC_HOST_NAME)) == kLongName,
              "choosing DHCP \"On\" disables no address; the host name takes no 128th character");
        // A partly filled address: its blank fields read 0.
        ::SendMessageA(Item(window, IDC_GATEWAY), IPM_CLEARADDRESS, 0, 0);
        Type(AddressField(Item(window, IDC_GATEWAY), 0), "10");
        ::SendMessageA(Item(window, IDC_PRIMARY_DNS), IPM_SETADDRESS, 0, Address("10.0.0.53"));
        ClickButton(window, IDOK);
    });
    Check(result == IDOK && dialog.m_dwIpAddress == Address("192.168.0.10") &&
              dialog.m_dwSubnetMask == Address("255.255.255.0") &&
              dialog.m_dwGateway == Address("10.0.0.0") &&
              dialog.m_dwPrimaryDns == Address("10.0.0.53") &&
              dialog.m_dwSecondaryDns == Address("192.168.0.3") && dialog.m_nDhcp == 0 &&
              std::string(dialog.m_szPassword) == "secret" &&
              std::string(dialog.m_szNewPassword) == "fresh_1" && dialog.m_bChangePassword == 0 &&
              std::string(dialog.m_szHostName) == kLongName,
          "Set ends with 1; the outputs are what the controls held: blank address fields 0, "
          "DHCP \"On\" 0, the new password kept although unchecked, the host name whole");
}

void CheckNothingReported() {
    CConfigDlg dialog;
    // Flags other than 1 hide their values, whatever the values hold.
    dialog.m_dwIpAddress = dialog.m_dwSubnetMask = dialog.m_dwGateway = Address("10.9.9.9");
    dialog.m_dwPrimaryDns = dialog.m_dwSecondaryDns = Address("10.9.9.9");
    dialog.m_bSubnetMaskValid = dialog.m_bPrimaryDnsValid = dialog.m_bHostNameValid = 2;
    std::strcpy(dialog.m_szHostName, "hidden");
    dialog.m_nDhcp = -1;
    const INT_PTR result = RunModal(dialog, [](HWND window) {
        bool blank = true;
        for (const int id : kAddressIds) {
            blank = blank && ::SendMessageA(Item(window, id), IPM_ISBLANK, 0, 0) != 0 &&
                    !ControlEnabled(window, id);
        }
        Check(blank && WindowText(Item(window, IDC_HOST_NAME)).empty() &&
                  !ControlEnabled(window, IDC_HOST_NAME),
              "addresses and the host name with flags 0 and 2 are blank and disabled");
        ClickButton(window, IDC_CHANGE_PASSWORD);
        Type(Item(window, IDC_PASSWORD), "typed");
        Check(!ButtonChecked(window, IDC_DHCP_ON) && !ButtonChecked(window, IDC_DHCP_OFF) &&
                  !ControlEnabled(window, IDC_DHCP_ON) && !ControlEnabled(window, IDC_DHCP_OFF) &&
                  EditReadOnly(window, IDC_PASSWORD) &&
                  WindowText(Item(window, IDC_PASSWORD)).empty(),
              "DHCP -1: neither button, both disabled, also after an exchange; without a "
              "password in force the password edit is read-only");
        ClickButton(window, IDOK);
    });
    Check(result == IDOK && dialog.m_dwIpAddress == 0 && dialog.m_dwSubnetMask == 0 &&
              dialog.m_dwGateway == 0 && dialog.m_dwPrimaryDns == 0 &&
              dialog.m_dwSecondaryDns == 0 && dialog.m_nDhcp == -1 &&
              dialog.m_szHostName[0] == '\0' && dialog.m_szPassword[0] == '\0',
          "after Set the cleared addresses read 0, DHCP -1, host name and password empty");

    for (const bool close_box : {false, true}) {
        CConfigDlg cancelled;
        FillEveryInput(cancelled);
        const INT_PTR ended = RunModal(cancelled, [close_box](HWND window) {
            Retype(Item(window, IDC_HOST_NAME), "edited");
            if (close_box) {
                ::SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            } else {
                ClickButton(window, IDCANCEL);
            }
        });
        Check(ended == IDCANCEL, std::string(close_box ? "the close box" : "Cancel") +
                                     " after an edit ends the dialog with 2");
    }
}

TOLM_ModuleScanResponseType Reported() {
    TOLM_ModuleScanResponseType record = Module(0x21);
    record.dwIpAddress = Address("10.1.1.1");
    record.dwSubnetMask = Address("255.0.0.0");
    record.bIpAddressValid = 1;
    record.bSubnetMaskValid = 2;  // only 1 counts for an address
    std::strcpy(record.szHostName, "plc_01");
    record.bHostNameValid = 1;
    return record;
}

void CheckStepsAroundTheDialog() {
    CConfigDlg dialog;
    dialog.m_dwSubnetMask = 7;
    std::string dhcp_and_password;
    // DHCP flag and value, password flag and value.
    for (const auto [dhcp_valid, dhcp, pswd_valid, pswd] : {std::array<std::uint8_t, 4>{0, 1, 0, 1},
                                                            {1, 0, 1, 0},
                                                            {1, 1, 1, 1},
                                                            {2, 0xFF, 2, 0xFF}}) {
        TOLM_ModuleScanResponseType record = Reported();
        record.bDhcpValid = dhcp_valid;
        record.bDhcpEnabled = dhcp;
        record.bPswdValid = pswd_valid;
        record.bPswdEnabled = pswd;
        SetConfigInputs(record, dialog);
        dhcp_and_password += std::to_string(dialog.m_nDhcp) + "/" +
                             std::to_string(dialog.m_bPasswordProtected) + " ";
    }
    Check(dialog.m_bIpAddressValid == 1 && dialog.m_dwIpAddress == Address("10.1.1.1") &&
              dialog.m_bSubnetMaskValid == 0 && dialog.m_dwSubnetMask == 7 &&
              dhcp_and_password == "-1/0 1/0 0/1 0/1 ",
          "inputs from a record: an address flag of 2 counts as not reported; DHCP not "
          "reported -1, 0 \"Off\", other values \"On\"; a reported nonzero password state: " +
              dhcp_and_password);

    dialog.m_nDhcp = -1;
    dialog.m_bChangePassword = 2;
    std::strcpy(dialog.m_szNewPassword, "unused");
    const TOLM_ConfigureRequestType request = ConfigureRequestFrom(Reported(), dialog);
    Check(request.bDhcpEnabled == 2 && request.dwIpAddress == Address("10.1.1.1") &&
              request.dwSubnetMask == 0xFFFFFFFF && request.dwGateway == 0xFFFFFFFF &&
              request.dwDns1 == 0xFFFFFFFF && request.dwDns2 == 0xFFFFFFFF &&
              request.bChangePassword == 0 && request.szNewPassword[0] == '\0' &&
              std::memcmp(request.abMacId, Reported().abMacId, TOLM_MAC_SIZE) == 0,
          "the request leaves what the module did not report unchanged: every such address "
          "255.255.255.255, neither DHCP button 2; \"Change password\" other than 1 sends no "
          "new password");

    const auto mac = ParseRowMac("2-0-a-b-c-121");
    DeviceRecords devices;
    TOLM_ModuleScanResponseType older = Reported();
    TOLM_ModuleScanResponseType newer = older;
    newer.dwIpAddress = Address("10.1.1.2");
    devices.AddTail(Module(0x01));
    devices.AddTail(older);
    devices.AddTail(newer);
    const auto found = mac ? FindDevice(devices, *mac) : std::nullopt;
    Check(found && found->dwIpAddress == Address("10.1.1.1") && !ParseRowMac("N/A") &&
              !FindDevice(devices, MacBytes{2, 0, 0x0A, 0x0B, 0x0C, 0x22}),
          "a row's MAC text gives the low byte of each number; the oldest record with it is "
          "the module's; N/A and an unknown MAC give none");

    TOLM_ConfigureRequestType long_password = request;
    std::strcpy(long_password.szPassword, std::string(90, 'p').c_str());
    Check(ConfigurationNotSentText(request) ==
                  "Configuration was NOT downloaded!\n\nThe request could not be sent on the "
                  "network." &&
              ConfigurationNotSentText(long_password) ==
                  "Configuration was NOT downloaded!\n\nThe password is too long: 90 characters, "
                  "at most 88 can be sent.",
          "a request that was not sent is named so, with the field that is too long");
}

// A dialog after Set with every value reported and sendable.
void FillSendable(CConfigDlg& dialog) {
    FillEveryInput(dialog);
    std::strcpy(dialog.m_szHostName, "plc_01");
}

void CheckWhatSetRefusesAndAsks() {
    const std::string refused = "Configuration was NOT downloaded!\n\n";
    struct Case {
        const char* what;
        void (*change)(CConfigDlg&);
        std::string told;  // empty: sent
    };
    const Case cases[] = {
        {"as reported", [](CConfigDlg&) {}, ""},
        {"IP 0.0.0.0", [](CConfigDlg& d) { d.m_dwIpAddress = 0; },
         refused + "The IP address 0.0.0.0 would leave the module without an address."},
        {"IP all ones", [](CConfigDlg& d) { d.m_dwIpAddress = 0xFFFFFFFF; },
         refused + "The IP address 255.255.255.255 is the broadcast address, which no module can "
                   "take."},
        {"gateway partly blank", [](CConfigDlg& d) { d.m_nGatewayBlank = 0x8; },
         refused + "The default gateway is partly blank: fill in all four numbers."},
        {"gateway cleared", [](CConfigDlg& d) { d.m_dwGateway = 0, d.m_nGatewayBlank = 0xF; }, ""},
        {"mask with a gap", [](CConfigDlg& d) { d.m_dwSubnetMask = Address("255.0.255.0"); },
         refused + "The subnet mask 255.0.255.0 is not a subnet mask: its one bits must come "
                   "first and without a gap, as in 255.255.255.0."},
        {"mask 0.0.0.0", [](CConfigDlg& d) { d.m_dwSubnetMask = 0; },
         refused + "The subnet mask 0.0.0.0 would leave the module no subnet: give one such as "
                   "255.255.255.0."},
        {"DNS all ones", [](CConfigDlg& d) { d.m_dwSecondaryDns = 0xFFFFFFFF; },
         refused + "The secondary DNS server 255.255.255.255 cannot be sent: the request spends "
                   "it on \"leave unchanged\"."},
        {"IP 0.0.0.0 not reported",
         [](CConfigDlg& d) { d.m_dwIpAddress = 0, d.m_bIpAddressValid = 0; }, ""},
        {"';' in the password", [](CConfigDlg& d) { std::strcpy(d.m_szPassword, "ab;c"); },
         refused + "The password holds ';' at position 3, which ends a piece of the request: the "
                   "module would store only what stands before it."},
        {"a tab in the new password",
         [](CConfigDlg& d) { d.m_bChangePassword = 1, std::strcpy(d.m_szNewPassword, "a\tb"); },
         refused + "The new password holds the byte \\x09 at position 2: only printable ASCII "
                   "characters (blank to '~') can be sent."},
        {"';' in an unused new password",
         [](CConfigDlg& d) { std::strcpy(d.m_szNewPassword, ";"); }, ""},
        {"illegal host name", [](CConfigDlg& d) { std::strcpy(d.m_szHostName, "plc-01"); },
         kIllegalHostNameText},
        {"host name too long",
         [](CConfigDlg& d) { std::strcpy(d.m_szHostName, std::string(100, 'a').c_str()); },
         refused + "The host name is too long: 100 characters, at most 93 can be sent."},
    };
    std::string wrong;
    for (const Case& c : cases) {
        CConfigDlg dialog;
        FillSendable(dialog);
        c.change(dialog);
        const TOLM_ConfigureRequestType request = ConfigureRequestFrom(Module(0x21), dialog);
        const std::string told = RefusalText(request, dialog, {});
        if (told != c.told) wrong += std::string(c.what) + ": \"" + told + "\" ";
    }
    Check(wrong.empty(),
          "Set refuses addresses that cut a module off, passwords the module "
          "would not store as typed, illegal and too long host names, each in "
          "words that name the field; the rest is sent: " +
              wrong);

    CConfigDlg dialog;
    FillSendable(dialog);
    dialog.m_dwGateway = Address("10.1.1.1");
    dialog.m_bChangePassword = 1;
    const TOLM_ConfigureRequestType empty_new = ConfigureRequestFrom(Module(0x21), dialog);
    const std::vector<std::string> asked = QuestionsBeforeSending(empty_new, dialog);
    std::strcpy(dialog.m_szNewPassword, "fresh_1");
    dialog.m_dwGateway = 0;
    const TOLM_ConfigureRequestType with_new = ConfigureRequestFrom(Module(0x21), dialog);
    Check(asked.size() == 2 &&
              asked[0] ==
                  "The default gateway 10.1.1.1 is outside the subnet of the IP address "
                  "192.168.0.10 (subnet mask 255.255.255.0): the module could not reach it.\n\n"
                  "Send the configuration anyway?" &&
              asked[1].find("Remove the module's password?") != std::string::npos &&
              !AsksForNewPasswordAgain(empty_new) &&
              QuestionsBeforeSending(with_new, dialog).empty() && AsksForNewPasswordAgain(with_new),
          "a gateway outside the new address's subnet and an empty new password are asked about "
          "first; gateway 0.0.0.0 is not; a new password typed is asked for again");

    // The host-name edit of a module that reported none is disabled and empty.
    dialog.m_bHostNameValid = 0;
    dialog.m_szHostName[0] = '\0';
    const std::optional<std::string> nameless =
        HostNameQuestion(ConfigureRequestFrom(Module(0x21), dialog), dialog);
    dialog.m_bHostNameValid = 1;
    Check(nameless ==
                  "The module 02-00-0A-0B-0C-21 did not report its host name; Set sends an empty "
                  "one, which clears any it has.\n\nSend the configuration anyway?" &&
              !HostNameQuestion(ConfigureRequestFrom(Module(0x21), dialog), dialog),
          "an empty host name for a module that reported none is asked about, naming the "
          "module; one the module reported and the user emptied is not");
}

TOLM_ResponseOriginType Origin(const char* sender, const char* adapter) {
    TOLM_ResponseOriginType origin{};
    std::strcpy(origin.szAdapter, adapter);
    origin.dwSenderAddress = Address(sender);
    origin.wSenderPort = TOLM_PORT;
    return origin;
}

void CheckAnswersOfOneMac() {
    const MacAnswers::Mac mac{0x02, 0, 0x0A, 0x0B, 0x0C, 0x21};
    const TOLM_ResponseOriginType module = Origin("10.77.0.11", "tl0");
    TOLM_ModuleScanResponseType other_values = Reported();
    other_values.dwIpAddress = Address("10.1.1.9");
    MacAnswers answers;
    const bool firsts = answers.Add(Reported(), &module) && !answers.Add(Reported(), &module);
    const bool quiet = !answers.ConflictText(mac) && answers.SenderOf(mac) == Address("10.77.0.11");
    const TOLM_ResponseOriginType forger = Origin("10.77.0.66", "tl1");
    answers.Add(other_values, &forger);
    const std::string two = answers.ConflictText(mac).value_or("");
    Check(firsts && quiet && !answers.SenderOf(mac) &&
              two.find("More than one device answers as 02-00-0A-0B-0C-21") == 0 &&
              two.find("\n10.77.0.11 on adapter tl0, reporting IP 10.1.1.1\n10.77.0.66 on "
                       "adapter tl1, reporting IP 10.1.1.9, other values than the row shows") !=
                  std::string::npos,
          "one sender answering twice alike is the module; a second sender makes the MAC a "
          "conflict whose warning names both senders, their adapters and addresses: " +
              two);

    answers.Clear();
    answers.Add(Reported(), nullptr);
    answers.Add(other_values, nullptr);
    const std::string differ = answers.ConflictText(mac).value_or("");
    answers.Clear();
    for (int sender = 1; sender <= 20; ++sender) {
        TOLM_ResponseOriginType origin = module;
        origin.dwSenderAddress += static_cast<std::uint32_t>(sender);
        answers.Add(Reported(), &origin);
    }
    Check(differ.find("The answers for 02-00-0A-0B-0C-21 differ") == 0 &&
              differ.find("does not tell the senders") != std::string::npos &&
              answers.ConflictText(mac).value_or("").find("\nand 4 more\n") != std::string::npos,
          "without senders, differing values make the conflict; twenty senders are named up to "
          "sixteen and counted");
}

void CheckWhoseReplyEndsTheWait() {
    ConfiguredModule module;
    module.mac = {0x02, 0, 0, 0, 0, 0x05};
    module.sender = Address("10.77.0.11");
    module.new_ip = Address("10.77.0.150");
    const auto reply = [&module](std::uint8_t last, const char* sender, bool names_mac = true) {
        TOLM_ReplyType r{};
        r.nCode = TOLM_NOTIFY_RECONFIGURED;
        std::memcpy(r.abMacId, module.mac.data(), TOLM_MAC_SIZE);
        r.abMacId[5] = last;
        r.bMacIdValid = names_mac ? 1 : 0;
        r.origin.dwSenderAddress = Address(sender);
        return IsReplyOfModule(r, module) ? "y" : "n";
    };
    const std::string whose = std::string(reply(5, "10.77.0.11")) + reply(5, "10.77.0.150") +
                              reply(5, "10.77.0.1") + reply(6, "10.77.0.11") +
                              reply(0, "10.77.0.11", false);
    ConfirmationWatch watch;
    watch.Sent(module, 0xFFFFF000);
    watch.Sent(module, 0xFFFFF100);
    TOLM_ReplyType forged{};
    forged.nCode = TOLM_NOTIFY_RECONFIGURED;
    std::memcpy(forged.abMacId, module.mac.data(), TOLM_MAC_SIZE);
    forged.bMacIdValid = 1;
    forged.origin.dwSenderAddress = Address("10.77.0.1");
    watch.Replied(forged);
    ConfiguredModule mac_only = module;
    mac_only.sender.reset();
    const std::optional<DWORD> next = watch.NextDue(0xFFFFF100);
    const bool none_yet = watch.Expired(0xFFFFF000 + 4999).empty();
    const std::size_t silent = watch.Expired(0xFFFFF000 + 5000).size();
    const std::size_t late = watch.Expired(0xFFFFF100 + 5000).size();
    watch.Sent(module, 0);
    watch.RefusedFor(module.mac.data());
    const bool refused = watch.Expired(6000).empty() && !watch.NextDue(6000);
    Check(whose == "yynny" && IsReplyOfModule(forged, mac_only) && next == 4744u && none_yet &&
              silent == 1 && late == 1 && refused &&
              NoConfirmationText(module) ==
                  "No confirmation came from 02-00-00-00-00-05 within 5 seconds of Set: the "
                  "settings may not have been applied.\n\nPress Scan to see what the module "
                  "reports now.",
          "a reply speaks for the module from its sender or new address, naming its MAC or "
          "none (from anyone while its sender is not known); a forged one ends no wait; each "
          "request unanswered for 5 s is told once, across the tick count's wrap; a refusal "
          "ends the wait: " +
              whose);
}

// What the user left in the dialog is there when the same dialog opens again.
void CheckOpenedAgainAsLeft() {
    CConfigDlg dialog;
    FillEveryInput(dialog);
    RunModal(dialog, [](HWND window) {
        Type(Item(window, IDC_PASSWORD), "secret");
        ClickButton(window, IDC_CHANGE_PASSWORD);
        Type(Item(window, IDC_NEW_PASSWORD), "fresh_1");
        ::SendMessageA(Item(window, IDC_GATEWAY), IPM_CLEARADDRESS, 0, 0);
        Type(AddressField(Item(window, IDC_GATEWAY), 0), "10");
        ::SendMessageA(Item(window, IDC_IP_ADDRESS), IPM_SETADDRESS, 0, Address("0.0.0.0"));
        ClickButton(window, IDC_DHCP_ON);
        Retype(Item(window, IDC_HOST_NAME), "plc-01");
        ClickButton(window, IDOK);
    });
    bool as_left = false;
    RunModal(dialog, [&as_left](HWND window) {
        DWORD gateway = 0;
        const LRESULT filled = ::SendMessageA(Item(window, IDC_GATEWAY), IPM_GETADDRESS, 0,
                                              reinterpret_cast<LPARAM>(&gateway));
        as_left = filled == 1 && gateway == Address("10.0.0.0") &&
                  WindowText(AddressField(Item(window, IDC_GATEWAY), 1)).empty() &&
                  AddressShown(window, IDC_IP_ADDRESS) == 0 &&
                  ::SendMessageA(Item(window, IDC_IP_ADDRESS), IPM_ISBLANK, 0, 0) == 0 &&
                  WindowText(Item(window, IDC_PASSWORD)) == "secret" &&
                  ButtonChecked(window, IDC_CHANGE_PASSWORD) &&
                  !EditReadOnly(window, IDC_NEW_PASSWORD) &&
                  WindowText(Item(window, IDC_NEW_PASSWORD)) == "fresh_1" &&
                  ButtonChecked(window, IDC_DHCP_ON) &&
                  WindowText(Item(window, IDC_HOST_NAME)) == "plc-01";
        ClickButton(window, IDCANCEL);
    });
    Check(as_left && dialog.m_nGatewayBlank == 0xE,
          "opened again, the dialog shows what was left in it: the partly blank gateway with "
          "its blank fields, the typed passwords, \"Change password\", DHCP and host name");
}

void CheckNewPasswordAskedAgain() {
    CConfirmPasswordDlg confirm;
    bool masked = false;
    const INT_PTR result = RunModal(confirm, [&masked](HWND window) {
        const HWND edit = Item(window, IDC_CONFIRM_PASSWORD);
        masked = (::GetWindowLongA(edit, GWL_STYLE) & ES_PASSWORD) != 0 && ::GetFocus() == edit &&
                 WindowText(window) == "Confirm new password" && LabelsCut(window).empty();
        Type(edit, "s3cret_new");
        ClickButton(window, IDOK);
    });
    Check(result == IDOK && masked && confirm.m_strPassword.str() == "s3cret_new",
          "the new password is asked for again in a dialog of its own, masked, the focus in its "
          "field; OK gives back what was typed");
}

void CheckDoubleClicksOnTheList() {
    ListDialog dialog(kMainColumns);
    RunModal(dialog, [&dialog](HWND window) {
        CTolmListCtrl& list = dialog.m_listDevices;
        TOLM_ModuleScanResponseType no_mac = Module(0x30);
        no_mac.bMacIdValid = 0;
        list.AddResponse(no_mac);
        list.AddResponse(Reported());
        const auto opens = [&list](POINT point) {
            return DriveDialogOpenedBy([&] { DoubleClickList(list.m_hWnd, point); },
                                       [](HWND config) { ClickButton(config, IDCANCEL); });
        };
        RECT last{LVIR_BOUNDS, 0, 0, 0};
        ::SendMessageA(list.m_hWnd, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&last));
        const int no_mac_row = FindListRow(list.m_hWnd, 6, "N/A");
        Check(!opens(ListCellCenter(list.m_hWnd, no_mac_row, 2)) &&
                  !opens(POINT{20, last.bottom + 5}),
              "a double-click on a row whose MAC reads N/A, or below the last row, opens nothing");

        const int row = FindListRow(list.m_hWnd, 6, "02-00-0A-0B-0C-21");
        std::string captions;
        for (const int column : {0, 3, 6}) {
            DriveDialogOpenedBy(
                [&] { DoubleClickList(list.m_hWnd, ListCellCenter(list.m_hWnd, row, column)); },
                [&](HWND config) {
                    if (AddressShown(config, IDC_IP_ADDRESS) == Address("10.1.1.1") &&
                        WindowText(Item(config, IDC_HOST_NAME)) == "plc_01" &&
                        !ControlEnabled(config, IDC_SUBNET_MASK)) {
                        captions += WindowText(config) + ";";
                    }
                    ClickButton(config, IDCANCEL);
                });
        }
        std::uint8_t mac[TOLM_MAC_SIZE];
        Check(captions ==
                      "Configure: 02-00-0A-0B-0C-21;Configure: 02-00-0A-0B-0C-21;"
                      "Configure: 02-00-0A-0B-0C-21;" &&
                  !list.GetConfiguredMac(mac),
              "a double-click in any column opens the row's module, filled from its record; "
              "Cancel remembers no MAC: " +
                  captions);

        const auto enter_opens = [&list](int selected) {
            LVITEMA none{};
            none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            ::SendMessageA(list.m_hWnd, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(&none));
            if (selected >= 0) SelectListRow(list.m_hWnd, selected);
            ::SetFocus(list.m_hWnd);
            std::string caption;
            DriveDialogOpenedBy(
                [] {
                    PressKey(VK_RETURN);
                    PumpFor(300);
                },
                [&caption](HWND config) {
                    caption = WindowText(config);
                    ClickButton(config, IDCANCEL);
                });
            return caption;
        };
        Check(enter_opens(row) == "Configure: 02-00-0A-0B-0C-21" && enter_opens(-1).empty(),
              "Enter on the selected row opens its module as a double-click does; with no row "
              "selected it opens nothing");

        MessageBoxRecorder boxes;
        TOLM_ModuleScanResponseType twin = Module(0x22);
        const TOLM_ResponseOriginType module = Origin("10.77.0.11", "tl0");
        const TOLM_ResponseOriginType other = Origin("10.77.0.12", "tl0");
        list.AddResponse(twin, &module);
        twin.dwGateway = Address("10.77.0.66");
        twin.bGatewayValid = 1;
        list.AddResponse(twin, &other);
        const int twin_row = FindListRow(list.m_hWnd, 6, "02-00-0A-0B-0C-22");
        const bool opened =
            opens(ListCellCenter(list.m_hWnd, twin_row, 1)) || !enter_opens(twin_row).empty();
        const auto& told = boxes.Calls();
        Check(!opened && told.size() == 2 && told[0].type == (MB_OK | MB_ICONEXCLAMATION) &&
                  told[0].text.find("10.77.0.12 on adapter tl0") != std::string::npos &&
                  told[1].text == told[0].text && ListText(list.m_hWnd, twin_row, 2) == "N/A",
              "a MAC that two senders answered as opens nothing, by mouse or key: a warning "
              "names the senders; the row keeps the first answer");
        ClickButton(window, IDOK);
    });
}

}  // namespace

void RunConfigDialogTests() {
    CheckStepsAroundTheDialog();
    CheckWhatSetRefusesAndAsks();
    CheckAnswersOfOneMac();
    CheckWhoseReplyEndsTheWait();
    CheckEveryInputShown();
    CheckNothingReported();
    CheckOpenedAgainAsLeft();
    CheckNewPasswordAskedAgain();
    CheckDoubleClicksOnTheList();
}

}  // namespace gui_test
