// CWnd: a C++ object bound to a window. Every bound window's procedure is
// one trampoline that finds the object and routes the message through the
// class's message table; what no row handles goes to the window's own
// procedure. WM_NOTIFY and WM_DRAWITEM from a bound child are offered to the
// child's object first, so a control handles its own notifications.
#pragma once

#include <windows.h>

#include "framework/message_map.h"
#include "framework/string.h"

class CWnd {
  public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    // The object bound to `hwnd`, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Binds this object to an existing window and routes its messages here.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(UINT id, CWnd* parent);

    LRESULT SendMessage(UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    void Invalidate(bool erase = true) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void EnableWindow(bool enable = true) { ::EnableWindow(m_hWnd, enable ? TRUE : FALSE); }
    HICON SetIcon(HICON icon, bool big);
    // The window menu, or null; `revert` restores the system's own first.
    HMENU GetSystemMenu(bool revert) const { return ::GetSystemMenu(m_hWnd, revert); }
    // A message box owned by this window (observable through the message box hook).
    int MessageBox(const char* text, const char* caption, UINT type) const;

    HWND m_hWnd = nullptr;

  protected:
    // A class with a message table declares
    //   static const MessageMap* ClassMessageMap();  (its table, based on its base class's)
    //   const MessageMap* GetMessageMap() const override { return ClassMessageMap(); }
    virtual const MessageMap* GetMessageMap() const { return nullptr; }
    // Routes one message: reflection, then the tables, then DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam);
    // The window's own processing of a message (its procedure before binding).
    LRESULT DefWindowProc(UINT message, WPARAM wparam, LPARAM lparam);
    // The window's own processing of the message being handled now.
    LRESULT Default();
    // Called after binding, before the first message is routed here.
    virtual void PreSubclassWindow() {}
    // A notification this window sent its parent, offered back to it first.
    virtual bool OnChildNotify(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);

    // Binds a window being created by this thread to `pending`, so that even
    // its first messages (WM_NCCREATE, WM_CREATE) reach the object.
    static void HookNextWindowCreation(CWnd* pending);
    static void UnhookWindowCreation();

  private:
    static LRESULT CALLBACK Trampoline(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
    static LRESULT CALLBACK CreationHook(int code, WPARAM wparam, LPARAM lparam);
    bool Attach(HWND hwnd);
    void Unbind();
    bool ReflectToChild(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result);
    const MessageEntry* FindEntry(UINT message, WPARAM wparam, LPARAM lparam) const;

    WNDPROC m_pfnSuper = nullptr;
    MSG m_currentMessage{};
};
