// The GUI layer under the program's dialogs: creation and binding, data
// exchange both ways, the message table's kinds of rows, posted messages in
// a modal loop, keyboard ending, failures inside a handler, and the plain
// helpers (text, list, program name, datagram socket).
#include <windows.h>
#include <winsock2.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <new>
#include <string>

#include "check_log.h"
#include "framework/button.h"
#include "framework/dialog.h"
#include "framework/edit.h"
#include "framework/ip_address_ctrl.h"
#include "framework/list.h"
#include "framework/socket.h"
#include "framework/win_app.h"
#include "gui_tests.h"
#include "harness.h"
#include "resource.h"

using tolm::windows_test::Check;

namespace gui_test {
namespace {

constexpr UINT kPosted = WM_USER + 1;  // also DM_SETDEFID for a dialog
constexpr UINT kFailing = WM_APP;
constexpr UINT kAboutCommand = 0x0010;

// The configuration dialog's template: every kind of control the layer exchanges.
class ExchangeDialog : public CDialog {
  public:
    ExchangeDialog() : CDialog(IDD_CONFIG) {}

    CString m_strHostName = "plc_01";
    int m_nDhcp = 1;
    int m_bChangePassword = 1;
    DWORD m_dwIpAddress = 0xC0A8000A;
    CIPAddressCtrl m_ipSubnetMask;
    CEdit m_editNewPassword;
    int m_nCreated = 0;
    int m_nPosted = 0;
    LPARAM m_lastPosted = 0;
    int m_nAbout = 0;
    std::string m_seen;  // what the cracked handlers were given

  protected:
    void DoDataExchange(CDataExchange& dx) override {
        DDX_Control(dx, IDC_SUBNET_MASK, m_ipSubnetMask);
        DDX_Control(dx, IDC_NEW_PASSWORD, m_editNewPassword);
        DDX_Text(dx, IDC_HOST_NAME, m_strHostName);
        DDV_MaxChars(dx, m_strHostName, 127);
        DDX_Radio(dx, IDC_DHCP_ON, m_nDhcp);
        DDX_Check(dx, IDC_CHANGE_PASSWORD, m_bChangePassword);
        DDX_IPAddress(dx, IDC_IP_ADDRESS, m_dwIpAddress);
    }
    static const MessageMap* ClassMessageMap() {
        static constexpr MessageEntry kEntries[] = {
            OnMessage<&ExchangeDialog::OnCreate>(WM_CREATE),
            OnMessage<&ExchangeDialog::OnPosted>(kPosted),
            OnMessage<&ExchangeDialog::OnSizing>(WM_SIZING),
            OnMessage<&ExchangeDialog::OnSysCommand>(WM_SYSCOMMAND),
            OnMessage<&ExchangeDialog::OnFailing>(kFailing),
            OnMessage<&ExchangeDialog::OnSize>(WM_SIZE),
            OnMessage<&ExchangeDialog::OnLButtonDblClk>(WM_LBUTTONDBLCLK),
            OnMessage<&ExchangeDialog::OnQueryDragIcon>(WM_QUERYDRAGICON),
            OnNotify<&ExchangeDialog::OnFieldChanged>(IDC_IP_ADDRESS, IPN_FIELDCHANGED),
            OnCommand<&ExchangeDialog::OnChangePassword>(IDC_CHANGE_PASSWORD),
        };
        static const MessageMap kMap{CDialog::ClassMessageMap(), kEntries};
        return &kMap;
    }
    const MessageMap* GetMessageMap() const override { return ClassMessageMap(); }

  private:
    int OnCreate(CREATESTRUCTA*) {
        ++m_nCreated;
        return Default() == -1 ? -1 : 0;
    }
    LRESULT OnPosted(WPARAM, LPARAM code) {
        ++m_nPosted;
        m_lastPosted = code;
        return 1;
    }
    void OnSizing(UINT edge, RECT* rect) {
        Default();
        if (rect->right - rect->left < 194) {
            if (edge == WMSZ_LEFT)
                rect->left = rect->right - 194;
            else
                rect->right = rect->left + 194;
        }
    }
    void OnSysCommand(UINT command, LPARAM) {
        if ((command & 0xFFF0) == kAboutCommand)
            ++m_nAbout;
        else
            Default();
    }
    LRESULT OnFailing(WPARAM, LPARAM) { throw std::bad_alloc(); }
    void OnSize(UINT kind, int width, int height) {
        m_seen += "size " + std::to_string(kind) + " " + std::to_string(width) + "x" +
                  std::to_string(height) + ";";
    }
    void OnLButtonDblClk(UINT flags, POINT point) {
        m_seen += "double-click " + std::to_string(flags) + " " + std::to_string(point.x) + "," +
                  std::to_string(point.y) + ";";
    }
    HCURSOR OnQueryDragIcon() {
        return reinterpret_cast<HCURSOR>(::LoadIconA(nullptr, IDI_WARNING));
    }
    void OnFieldChanged(NMHDR* notification, LRESULT* result) {
        m_seen +=
            "field " + std::to_string(reinterpret_cast<NMIPADDRESS*>(notification)->iField) + ";";
        *result = 0;
    }
    void OnChangePassword() {
        UpdateData(true);
        m_editNewPassword.SetReadOnly(m_bChangePassword != 1);
    }
};

bool Checked(HWND dialog, int id) {
    return ::SendMessageA(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckExchange(ExchangeDialog& dialog, HWND window) {
    const HWND host = ::GetDlgItem(window, IDC_HOST_NAME);
    DWORD address = 0;
    ::SendMessageA(::GetDlgItem(window, IDC_IP_ADDRESS), IPM_GETADDRESS, 0,
                   reinterpret_cast<LPARAM>(&address));
    Check(WindowText(host) == "plc_01" && ::SendMessageA(host, EM_GETLIMITTEXT, 0, 0) == 127 &&
              !Checked(window, IDC_DHCP_ON) && Checked(window, IDC_DHCP_OFF) &&
              Checked(window, IDC_CHANGE_PASSWORD) && address == 0xC0A8000A,
          "opening puts text and limit, radio group, check box and address into the controls");
    Check(dialog.m_nCreated == 1, "the dialog's object sees its window's WM_CREATE");

    ::SendMessageA(::GetDlgItem(window, IDC_DHCP_ON), BM_CLICK, 0, 0);
    ::SendMessageA(::GetDlgItem(window, IDC_CHANGE_PASSWORD), BM_CLICK, 0, 0);
    Check(dialog.m_nDhcp == 0 && dialog.m_bChangePassword == 0 &&
              (::GetWindowLongA(::GetDlgItem(window, IDC_NEW_PASSWORD), GWL_STYLE) & ES_READONLY) !=
                  0,
          "clicks: the radio group and check box read back; a handler makes an edit read-only");

    ::SetWindowTextA(host, "");
    Type(host, std::string(130, 'h'));
    Check(WindowText(host).size() == 127, "the edit takes no 128th character");

    dialog.m_nDhcp = -1;
    dialog.UpdateData(false);
    const bool none_checked = !Checked(window, IDC_DHCP_ON) && !Checked(window, IDC_DHCP_OFF);
    dialog.UpdateData(true);
    Check(none_checked && dialog.m_nDhcp == -1, "radio index -1: neither button, and back -1");

    dialog.m_ipSubnetMask.SetAddress(0xFFFFFF00);
    DWORD mask = 0;
    const int fields = dialog.m_ipSubnetMask.GetAddress(mask);
    dialog.m_ipSubnetMask.ClearAddress();
    DWORD cleared = 1;
    Check(fields == 4 && mask == 0xFFFFFF00 && dialog.m_ipSubnetMask.GetAddress(cleared) == 0 &&
              cleared == 0,
          "an IP address control bound to its object: set, read, cleared reads 0");
}

void CheckValidationAndMessages(ExchangeDialog& dialog, HWND window) {
    const HWND host = ::GetDlgItem(window, IDC_HOST_NAME);
    MessageBoxRecorder boxes;
    ::SetWindowTextA(host, std::string(130, 'x').c_str());
    ClickButton(window, IDOK);
    Check(::IsWindowVisible(window) && boxes.Calls().size() == 1 &&
              boxes.Calls()[0].text == "Enter no more than 127 characters." && ::GetFocus() == host,
          "a text past its limit stops OK with a message and the focus on its control");

    ::PostMessageA(window, kPosted, 0, 3);
    ::PostMessageA(window, kPosted, 0, 2);
    PumpMessages();
    const LRESULT default_id = ::SendMessageA(window, DM_GETDEFID, 0, 0);
    Check(dialog.m_nPosted == 2 && dialog.m_lastPosted == 2 && LOWORD(default_id) == IDOK &&
              HIWORD(default_id) == DC_HASDEFID,
          "posted WM_USER+1 reaches its handler in order and leaves the default button alone");

    RECT rect{100, 100, 150, 150};
    ::SendMessageA(window, WM_SIZING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&rect));
    Check(rect.left == 150 - 194 && rect.right == 150, "WM_SIZING hands its rectangle over");

    const HMENU menu = dialog.GetSystemMenu(false);
    ::AppendMenuA(menu, MF_STRING, kAboutCommand, "&About");
    ::SendMessageA(window, WM_SYSCOMMAND, kAboutCommand, 0);
    Check(dialog.m_nAbout == 1 && ::GetMenuState(menu, kAboutCommand, MF_BYCOMMAND) != 0xFFFFFFFF,
          "a system menu entry's command reaches its handler");

    dialog.m_seen.clear();
    ::SendMessageA(window, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 200));
    ::SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(-5, 20));
    NMIPADDRESS field{};
    field.hdr = {::GetDlgItem(window, IDC_IP_ADDRESS), IDC_IP_ADDRESS, IPN_FIELDCHANGED};
    field.iField = 2;
    ::SendMessageA(window, WM_NOTIFY, IDC_IP_ADDRESS, reinterpret_cast<LPARAM>(&field));
    const LRESULT drag_icon = ::SendMessageA(window, WM_QUERYDRAGICON, 0, 0);
    Check(dialog.m_seen == "size 0 300x200;double-click 1 -5,20;field 2;" &&
              drag_icon == reinterpret_cast<LRESULT>(::LoadIconA(nullptr, IDI_WARNING)),
          "messages reach their handlers unpacked: " + dialog.m_seen);

    boxes.Clear();
    const LRESULT failed = ::SendMessageA(window, kFailing, 0, 0);
    Check(failed == 0 && boxes.Calls().size() == 1 && boxes.Calls()[0].text == "Out of memory." &&
              boxes.Calls()[0].type == (MB_OK | MB_ICONSTOP) && ::IsWindow(window),
          "an exception in a handler ends at the window procedure with a message");

    ::SetWindowTextA(host, "Node7");
    ::SetFocus(host);
    PressKey(VK_RETURN);  // Enter presses the default button, Set
}

void RunExchangeDialog() {
    ExchangeDialog dialog;
    const INT_PTR result = RunModal(dialog, [&](HWND window) {
        CheckExchange(dialog, window);
        CheckValidationAndMessages(dialog, window);
    });
    Check(result == IDOK && dialog.m_strHostName.str() == "Node7" && dialog.m_nDhcp == -1,
          "Enter ends with IDOK after the controls' values went into the members");
    Check(dialog.m_hWnd == nullptr && dialog.m_editNewPassword.m_hWnd == nullptr,
          "the dialog and its bound controls are unbound when their windows go");

    dialog.m_strHostName = "kept";
    const INT_PTR cancelled = RunModal(dialog, [](HWND window) {
        ::SetWindowTextA(::GetDlgItem(window, IDC_HOST_NAME), "changed");
        ::SetFocus(::GetDlgItem(window, IDC_HOST_NAME));
        PressKey(VK_ESCAPE);
    });
    Check(cancelled == IDCANCEL && dialog.m_strHostName.str() == "kept" && dialog.m_nCreated == 2,
          "the same object runs again; Escape cancels without taking the controls' values");
}

void CheckPlainHelpers() {
    CString text;
    text.Format("%s-%d", std::string(300, 'a').c_str(), 7);
    CString padded(" \t\r\n x y \v\f");
    CString version("1, 6, 1, 3");
    const int removed = version.Remove(' ');
    const int replaced = version.Replace(',', '.');
    CString missing;
    Check(text.GetLength() == 302 && padded.Trim().str() == "x y" && removed == 3 &&
              replaced == 3 && version.str() == "1.6.1.3" && !missing.LoadString(999) &&
              missing.IsEmpty(),
          "CString formats any length, trims, removes, replaces; a missing string loads empty");

    CList<int, int> numbers;
    for (int i = 1; i <= 3; ++i) numbers.AddTail(i);
    std::string forward;
    for (POSITION p = numbers.GetHeadPosition(); p != nullptr;) {
        forward += std::to_string(numbers.GetNext(p));
    }
    std::string backward;
    for (POSITION p = numbers.GetTailPosition(); p != nullptr;) {
        backward += std::to_string(numbers.GetPrev(p));
    }
    numbers.RemoveAll();
    Check(forward == "123" && backward == "321" && numbers.IsEmpty() &&
              numbers.GetHeadPosition() == nullptr,
          "CList walks from either end and empties");

    Check(ProgramNameFromPath("C:\\Program Files\\Brannic\\Brannic Linkora CFG.exe") ==
                  "Brannic Linkora CFG" &&
              ProgramNameFromPath("tool") == "tool" &&
              ProgramNameFromPath("D:/x.y/name.v2.exe") == "name.v2",
          "the program's name is its file's base name");

    Check(AfxSocketInit(), "the sockets layer starts with version 1.1");
    const SOCKET receiver = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = ::inet_addr("127.0.0.1");
    int length = sizeof local;
    ::bind(receiver, reinterpret_cast<sockaddr*>(&local), sizeof local);
    ::getsockname(receiver, reinterpret_cast<sockaddr*>(&local), &length);
    CSocket sender;
    const char datagram[] = "<SELECTED_IP></SELECTED_IP>";
    const bool created = sender.Create(0, SOCK_DGRAM);
    const int sent =
        sender.SendTo(datagram, sizeof datagram - 1, ::ntohs(local.sin_port), "127.0.0.1");
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(receiver, &readable);
    timeval patience{5, 0};
    char received[64] = {};
    const bool arrived = ::select(0, &readable, nullptr, nullptr, &patience) == 1 &&
                         ::recv(receiver, received, sizeof received, 0) == sizeof datagram - 1;
    ::closesocket(receiver);
    Check(created && sent == sizeof datagram - 1 && arrived && std::string(received) == datagram,
          "CSocket sends one datagram to the loopback address");
}

}  // namespace

void RunFrameworkTests() {
    CheckPlainHelpers();
    RunExchangeDialog();
}

}  // namespace gui_test
