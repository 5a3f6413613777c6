// The main window's scan cycle against the lab's simulated modules (the
// demo's eight): the first scan, Scan, answers that come late or twice,
// "Reconfigured:" and "Invalid Password:" replies, one or in bursts, and the
// row texts' memory across many scans; and the bookkeeping behind them.
#include "scan_cycle.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

#include "allocation_count.h"
#include "check_log.h"
#include "ferrow_dlg.h"
#include "gui_tests.h"
#include "harness.h"
#include "lab_environment.h"
#include "pending_notifications.h"
#include "resource.h"
#include "tolm_library.h"

using tolm::windows_test::Check;

namespace gui_test {
namespace {

constexpr int kModules = 8;
constexpr int kPasswordModule = 5;
constexpr int kSparseModule = 7;  // leaves fields out
constexpr int kMacColumn = 6;
// The lab answers within a second or two; this is only the point of giving up.
constexpr DWORD kPatience = 10000;

bool ListsEveryModuleOnce(HWND list) {
    const std::vector<std::string> macs = ListColumnTexts(list, kMacColumn);
    const std::set<std::string> distinct(macs.begin(), macs.end());
    if (macs.size() != kModules || distinct.size() != kModules) return false;
    for (int module = 1; module <= kModules; ++module) {
        if (distinct.count(ModuleMac(module)) == 0) return false;
    }
    return true;
}

bool WaitForEveryModule(HWND list) {
    return WaitUntil([list] { return ListsEveryModuleOnce(list); }, kPatience);
}

bool IsInvalidPasswordWarning(const MessageBoxCall& call, HWND owner) {
    return call.text == "Invalid password" && call.caption == "Warning" &&
           call.type == (MB_OK | MB_ICONEXCLAMATION) && call.owner == owner;
}

void CheckStartUp(HWND dialog, HWND list) {
    Check(WaitUntil([] { return ScansReceived() >= 1; }, kPatience) && ScansReceived() == 1,
          "start-up sends one scan without user action");
    std::set<int> counts;
    const bool full = WaitUntil(
        [&counts, list] {
            counts.insert(ListRowCount(list));
            return ListsEveryModuleOnce(list);
        },
        kPatience);
    counts.erase(0);
    counts.erase(kModules);
    Check(full && !counts.empty(),
          "rows appear as the modules answer, the late one after the others; all eight once");
    const int sparse = FindListRow(list, kMacColumn, ModuleMac(kSparseModule));
    Check(sparse >= 0 && ListText(list, sparse, 0) == "10.77.0.107" &&
              ListText(list, sparse, 1) == "N/A" && ListText(list, sparse, 3) == "N/A" &&
              ListText(list, sparse, 4) == "N/A" && ListText(list, sparse, 5) == "CC-Link",
          "a module that leaves fields out shows N/A for them");
    Check(LOWORD(::SendMessageA(dialog, DM_GETDEFID, 0, 0)) == IDC_SCAN &&
              ::GetFocus() == ::GetDlgItem(dialog, IDC_SCAN),
          "Scan has the focus and stays the default button while the notifications arrive");
}

void CheckSecondAnswer(HWND list, OtherTool& tool) {
    tool.Answer(ModuleMac(1), "10.77.0.201");
    // Handled in order: once this one is listed, the one before it was handled too.
    tool.Answer(ModuleMac(0x99), "10.77.0.199");
    const bool handled = WaitUntil(
        [list] { return FindListRow(list, kMacColumn, ModuleMac(0x99)) >= 0; }, kPatience);
    const int row = FindListRow(list, kMacColumn, ModuleMac(1));
    Check(handled && ListRowCount(list) == kModules + 1 && row >= 0 &&
              ListText(list, row, 0) == "10.77.0.101",
          "a second answer of a listed module, with another address, leaves its row as it was");
}

void CheckScanButton(HWND dialog, HWND list) {
    const int scans = ScansReceived();
    ClickButton(dialog, IDC_SCAN);
    const bool emptied = ListRowCount(list) == 0;
    Check(emptied && WaitForEveryModule(list) && ScansReceived() == scans + 1,
          "Scan empties the list and sends one scan; the list fills again");
}

void CheckLateAnswers(HWND dialog, HWND list) {
    const int scans = ScansReceived();
    ClickButton(dialog, IDC_SCAN);
    // Nothing handles messages meanwhile: the answers wait as posted messages.
    ::Sleep(400);
    ClickButton(dialog, IDC_SCAN);
    const bool emptied = ListRowCount(list) == 0;
    PumpMessages();
    Check(emptied && ListRowCount(list) > 0,
          "answers to the earlier scan that still waited are listed after Scan emptied the list");
    Check(WaitForEveryModule(list) && ScansReceived() == scans + 2,
          "with the new scan's answers every module is still listed once");
}

void CheckReconfiguredByAnotherTool(HWND list, OtherTool& tool) {
    const int scans = ScansReceived();
    tool.Configure(ModuleMac(3), "IP = 10.77.0.150;");
    const bool refreshed = WaitUntil(
        [list] {
            const int row = FindListRow(list, kMacColumn, ModuleMac(3));
            return row >= 0 && ListText(list, row, 0) == "10.77.0.150";
        },
        kPatience);
    Check(refreshed && ScansReceived() == scans + 1 && WaitForEveryModule(list),
          "\"Reconfigured:\" for a module another tool configured empties the list and scans "
          "again: the row shows the new address");
}

TOLM_ConfigureRequestType WrongPasswordRequest(int module) {
    TOLM_ConfigureRequestType request;
    std::memset(&request, 0, sizeof request);
    const std::uint8_t mac[TOLM_MAC_SIZE] = {0x02, 0, 0, 0, 0, static_cast<std::uint8_t>(module)};
    std::memcpy(request.abMacId, mac, sizeof mac);
    std::strcpy(request.szPassword, "wrong");
    request.dwIpAddress = request.dwSubnetMask = request.dwGateway = 0xFFFFFFFF;
    request.dwDns1 = request.dwDns2 = 0xFFFFFFFF;
    request.bDhcpEnabled = 0xFF;
    std::strcpy(request.szHostName, "safety_5");
    return request;
}

bool InvalidPasswordListEmpty() {
    std::uint8_t mac[TOLM_MAC_SIZE];
    return Tolm().TOLM_GetInvPswdMacId(mac) == 0;
}

void CheckInvalidPassword(CFerrowDlg& dialog, OtherTool& tool, MessageBoxRecorder& boxes) {
    const HWND list = dialog.m_listDevices.m_hWnd;
    const TOLM_ConfigureRequestType request = WrongPasswordRequest(kPasswordModule);
    // As a double-click on the row does: the MAC is remembered, then the request goes out.
    dialog.m_listDevices.SetConfiguredMac(request.abMacId);
    boxes.Clear();
    // A user slow to close the warning: more refusals arrive meanwhile.
    boxes.WhileShown([&tool] {
        for (int reply = 0; reply < 3; ++reply) tool.InvalidPassword(ModuleMac(kPasswordModule));
        PumpFor(500);
    });
    Tolm().TOLM_SendConfigure(&request);
    Tolm().TOLM_SendConfigure(&request);
    WaitUntil([&boxes] { return !boxes.Calls().empty(); }, kPatience);
    PumpFor(500);
    boxes.WhileShown(nullptr);
    const auto& calls = boxes.Calls();
    Check(calls.size() == 1 && IsInvalidPasswordWarning(calls[0], dialog.m_hWnd) &&
              InvalidPasswordListEmpty(),
          "wrong-password replies for the configured module warn \"Invalid password\" once per "
          "attempt: two replies, and three more while the warning is shown, give one warning, "
          "and all are taken off the library's list");

    boxes.Clear();
    tool.InvalidPassword(ModuleMac(0x77));
    tool.Answer(ModuleMac(0x98), "");
    const bool handled = WaitUntil(
        [list] { return FindListRow(list, kMacColumn, ModuleMac(0x98)) >= 0; }, kPatience);
    Check(handled && boxes.Calls().empty() && InvalidPasswordListEmpty(),
          "a wrong-password reply for another module warns nobody and is taken off the list");
    dialog.m_listDevices.SetConfiguredMac(request.abMacId);
    Tolm().TOLM_SendConfigure(&request);
    WaitUntil([&boxes] { return !boxes.Calls().empty(); }, kPatience);
    PumpFor(300);
    Check(boxes.Calls().size() == 1 && IsInvalidPasswordWarning(boxes.Calls()[0], dialog.m_hWnd),
          "the next attempt's reply for the configured module warns again, once");

    // As a double-click does where the library tells senders: the module's is remembered.
    ConfiguredModule module;
    std::copy(request.abMacId, request.abMacId + TOLM_MAC_SIZE, module.mac.begin());
    module.sender = dialog.m_listDevices.m_Answers.SenderOf(module.mac);
    dialog.m_listDevices.SetConfiguredModule(module);
    boxes.Clear();
    for (int reply = 0; reply < 3; ++reply) tool.InvalidPassword(ModuleMac(kPasswordModule));
    tool.Answer(ModuleMac(0x97), "");
    const bool forged_handled = WaitUntil(
        [list] { return FindListRow(list, kMacColumn, ModuleMac(0x97)) >= 0; }, kPatience);
    const bool forged_ignored = boxes.Calls().empty() && InvalidPasswordListEmpty();
    Tolm().TOLM_SendConfigure(&request);
    WaitUntil([&boxes] { return !boxes.Calls().empty(); }, kPatience);
    Check(module.sender && forged_handled && forged_ignored && boxes.Calls().size() == 1 &&
              IsInvalidPasswordWarning(boxes.Calls()[0], dialog.m_hWnd),
          "wrong-password replies naming the configured module from another sender warn "
          "nobody; the module's own from its sender warns");
}

void CheckReconfiguredBurst(HWND list, OtherTool& tool) {
    constexpr int kReplies = 40;
    constexpr DWORD kApart = 50;
    const int scans = ScansReceived();
    const DWORD start = ::GetTickCount();
    for (int reply = 0; reply < kReplies; ++reply) {
        tool.Reconfigured(ModuleMac(1 + reply % kModules));
        PumpFor(kApart);
    }
    const DWORD seconds = (::GetTickCount() - start) / 1000;
    PumpFor(1500);
    const int rescans = ScansReceived() - scans;
    // One at once, then at most one for each second the replies lasted, and
    // one for those of its last part.
    Check(rescans >= 2 && rescans <= static_cast<int>(seconds) + 2 && WaitForEveryModule(list),
          "a burst of " + std::to_string(kReplies) + " \"Reconfigured:\" replies over " +
              std::to_string(seconds) + " s makes " + std::to_string(rescans) +
              " rescans, at most one a second, and the list fills again");
}

void CheckNotificationBookkeeping() {
    PendingNotifications pending;
    const bool first = pending.Raise(TOLM_NOTIFY_RESPONSE);
    const bool more =
        pending.Raise(TOLM_NOTIFY_RESPONSE) || pending.Raise(TOLM_NOTIFY_INVALID_PASSWORD);
    const unsigned raised = pending.Take();
    const bool after_take = pending.Raise(TOLM_NOTIFY_RECONFIGURED);
    pending.Unsent();
    const bool after_unsent = pending.Raise(TOLM_NOTIFY_RECONFIGURED);
    const unsigned second = pending.Take();
    Check(first && !more && PendingNotifications::Has(raised, TOLM_NOTIFY_RESPONSE) &&
              PendingNotifications::Has(raised, TOLM_NOTIFY_INVALID_PASSWORD) &&
              !PendingNotifications::Has(raised, TOLM_NOTIFY_RECONFIGURED) && after_take &&
              after_unsent && second == (1u << TOLM_NOTIFY_RECONFIGURED) && !pending.Raise(7),
          "notifications ask for one message until the window takes them; a message that "
          "could not be posted is asked for again; unknown codes ask for none");

    RescanLimit limit;
    std::string waits;
    const auto wait = [&limit, &waits](DWORD now) {
        const std::optional<DWORD> due = limit.OnReconfigured(now);
        waits += due ? std::to_string(*due) + " " : "- ";
    };
    wait(5000);
    wait(5010);
    limit.Rescanned(5000);
    wait(5400);
    wait(5900);
    limit.Rescanned(6000);
    wait(9000);
    limit.Rescanned(0xFFFFFF00);
    wait(0x100);
    Check(waits == "0 - 600 - 0 488 ",
          "rescans for \"Reconfigured:\": the first at once, the next a second after the last, "
          "those meanwhile folded into it, across the tick count's wrap: " +
              waits);
}

void CheckRowTextsFreed(HWND dialog, HWND list) {
    constexpr int kScans = 12;
    bool filled = true;
    long emptied_first = 0;
    bool same = true;
    for (int scan = 0; scan < kScans; ++scan) {
        filled =
            filled && WaitUntil([list] { return ListRowCount(list) >= kModules - 1; }, kPatience);
        ClickButton(dialog, IDC_SCAN);
        const long live = LiveAllocations();
        if (scan == 0) emptied_first = live;
        same = same && live == emptied_first;
    }
    Check(filled && same, "over " + std::to_string(kScans) +
                              " scans every row's texts and record are freed when Scan empties "
                              "the list: " +
                              std::to_string(emptied_first) + " blocks live after each");
}

}  // namespace

void RunScanCycleTests() {
    CheckNotificationBookkeeping();
    UseLibraryFolder("real");
    OtherTool tool;
    Check(tool.Ready(), "another tool's socket for datagrams to the modules and the program");
    MessageBoxRecorder boxes;
    CFerrowDlg dialog;
    dialog.SetExitButtonText("Exit");
    const INT_PTR result = RunMainWindow(dialog, [&](HWND window) {
        const HWND list = dialog.m_listDevices.m_hWnd;
        CheckStartUp(window, list);
        SaveScreenshot(window, "main-window");
        CheckSecondAnswer(list, tool);
        CheckScanButton(window, list);
        CheckLateAnswers(window, list);
        CheckReconfiguredByAnotherTool(list, tool);
        CheckInvalidPassword(dialog, tool, boxes);
        CheckReconfiguredBurst(list, tool);
        CheckRowTextsFreed(window, list);
        ClickButton(window, IDOK);
    });
    Check(result == IDOK && g_pMainDlg == nullptr && !IsTolmLibraryBound() &&
              ::GetModuleHandleA(kTolmFileName) == nullptr,
          "Exit ends the window with IDOK; the library is stopped and unloaded");
}

}  // namespace gui_test
