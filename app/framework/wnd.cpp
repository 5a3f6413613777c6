#include "framework/wnd.h"

#include <new>
#include <unordered_map>
#include <utility>

#include "framework/message_box.h"
#include "framework/win_app.h"

namespace {

// The object of each bound window of this thread (a window's messages all
// arrive on the thread that made it). Not a window property: under Wine
// reading one is a round trip to the wineserver, and the trampoline looks
// the object up for every message.
thread_local std::unordered_map<HWND, CWnd*> t_bound_windows;

// The object waiting for the next window this thread creates, and the hook that delivers it.
thread_local CWnd* t_pending_window = nullptr;
thread_local HHOOK t_creation_hook = nullptr;

// Exceptions end at the window procedure: the user learns of the failure and
// the program goes on with the message unhandled.
void ReportFailedMessage(bool out_of_memory) {
    AfxMessageBox(out_of_memory ? "Out of memory." : "An internal error occurred.",
                  MB_OK | MB_ICONSTOP);
}

}  // namespace

CWnd::~CWnd() {
    // An object that goes before its window leaves the window to its own procedure.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    if (m_hWnd != nullptr) t_bound_windows.erase(m_hWnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    const auto bound = t_bound_windows.find(hwnd);
    return bound != t_bound_windows.end() ? bound->second : nullptr;
}

bool CWnd::Attach(HWND hwnd) {
    if (hwnd == nullptr || m_hWnd != nullptr || FromHandlePermanent(hwnd) != nullptr) return false;
    t_bound_windows.emplace(hwnd, this);
    m_hWnd = hwnd;
    return true;
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (!Attach(hwnd)) return false;
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Trampoline)));
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

void CWnd::Unbind() {
    t_bound_windows.erase(m_hWnd);
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_hWnd = nullptr;
    m_pfnSuper = nullptr;
}

void CWnd::HookNextWindowCreation(CWnd* pending) {
    t_pending_window = pending;
    t_creation_hook = ::SetWindowsHookExA(WH_CBT, &CreationHook, nullptr, ::GetCurrentThreadId());
}

void CWnd::UnhookWindowCreation() {
    if (t_creation_hook != nullptr) ::UnhookWindowsHookEx(t_creation_hook);
    t_creation_hook = nullptr;
    t_pending_window = nullptr;
}

LRESULT CALLBACK CWnd::CreationHook(int code, WPARAM wparam, LPARAM lparam) {
    const HHOOK hook = t_creation_hook;
    if (code == HCBT_CREATEWND && t_pending_window != nullptr) {
        CWnd* window = std::exchange(t_pending_window, nullptr);
        const HWND hwnd = reinterpret_cast<HWND>(wparam);
        if (window->Attach(hwnd)) {
            window->m_pfnSuper = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Trampoline)));
        }
        UnhookWindowCreation();
    }
    return ::CallNextHookEx(hook, code, wparam, lparam);
}

LRESULT CALLBACK CWnd::Trampoline(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    CWnd* window = FromHandlePermanent(hwnd);
    if (window == nullptr) return ::DefWindowProcA(hwnd, message, wparam, lparam);
    const MSG outer =
        std::exchange(window->m_currentMessage, MSG{hwnd, message, wparam, lparam, 0, {}});
    LRESULT result = 0;
    try {
        result = window->WindowProc(message, wparam, lparam);
    } catch (const std::bad_alloc&) {
        ReportFailedMessage(true);
    } catch (...) {
        ReportFailedMessage(false);
    }
    window->m_currentMessage = outer;
    // The window is gone after this message; the object may be bound again.
    if (message == WM_NCDESTROY) window->Unbind();
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    if ((message == WM_NOTIFY || message == WM_DRAWITEM) &&
        ReflectToChild(message, wparam, lparam, &result)) {
        return result;
    }
    if (const MessageEntry* entry = FindEntry(message, wparam, lparam)) {
        return entry->invoke(*this, wparam, lparam);
    }
    return DefWindowProc(message, wparam, lparam);
}

bool CWnd::ReflectToChild(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    HWND child = nullptr;
    if (message == WM_NOTIFY) {
        child = reinterpret_cast<const NMHDR*>(lparam)->hwndFrom;
    } else {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
        if (item->CtlType != ODT_MENU) child = item->hwndItem;
    }
    CWnd* object = child != nullptr && child != m_hWnd ? FromHandlePermanent(child) : nullptr;
    return object != nullptr && object->OnChildNotify(message, wparam, lparam, result);
}

bool CWnd::OnChildNotify(UINT message, WPARAM, LPARAM lparam, LRESULT* result) {
    if (message != WM_NOTIFY) return false;
    const UINT code = reinterpret_cast<const NMHDR*>(lparam)->code;
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
        for (const MessageEntry& entry : map->entries) {
            if (entry.kind == MessageKind::kReflectedNotify && entry.code == code) {
                *result = entry.invoke(*this, 0, lparam);
                return true;
            }
        }
    }
    return false;
}

const MessageEntry* CWnd::FindEntry(UINT message, WPARAM wparam, LPARAM lparam) const {
    for (const MessageMap* map = GetMessageMap(); map != nullptr; map = map->base) {
        for (const MessageEntry& entry : map->entries) {
            switch (entry.kind) {
                case MessageKind::kMessage:
                    if (entry.message == message) return &entry;
                    break;
                case MessageKind::kCommand:
                    if (message == WM_COMMAND && entry.id == LOWORD(wparam) &&
                        entry.code == HIWORD(wparam)) {
                        return &entry;
                    }
                    break;
                case MessageKind::kNotify:
                    if (message == WM_NOTIFY &&
                        entry.id == reinterpret_cast<const NMHDR*>(lparam)->idFrom &&
                        entry.code == reinterpret_cast<const NMHDR*>(lparam)->code) {
                        return &entry;
                    }
                    break;
                case MessageKind::kReflectedNotify:
                    break;
            }
        }
    }
    return nullptr;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    if (m_pfnSuper != nullptr)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wparam, lparam);
    return ::DefWindowProcA(m_hWnd, message, wparam, lparam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(m_currentMessage.message, m_currentMessage.wParam,
                         m_currentMessage.lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wparam, LPARAM lparam) const {
    return ::SendMessageA(m_hWnd, message, wparam, lparam);
}

HICON CWnd::SetIcon(HICON icon, bool big) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

int CWnd::MessageBox(const char* text, const char* caption, UINT type) const {
    return ShowMessageBox(m_hWnd, text, caption, type);
}
