// Message tables: each window class lists, one row each, the messages,
// commands and notifications it handles and the member that handles them.
// A row is built by one of the On... functions below, which also unpack the
// message's parameters into the handler's arguments.
#pragma once

#include <windows.h>

#include <span>

class CWnd;

enum class MessageKind {
    kMessage,          // a window message
    kCommand,          // WM_COMMAND from a control or menu id with a notification code
    kNotify,           // WM_NOTIFY from a child control id with a notification code
    kReflectedNotify,  // the control's own WM_NOTIFY, reflected back by its parent
};

struct MessageEntry {
    MessageKind kind;
    UINT message;  // kMessage only
    UINT id;       // kCommand and kNotify: the control or command id
    UINT code;     // kCommand, kNotify and kReflectedNotify: the notification code
    LRESULT (*invoke)(CWnd& window, WPARAM wparam, LPARAM lparam);
};

struct MessageMap {
    const MessageMap* base;  // the base class's table, searched after this one
    std::span<const MessageEntry> entries;
};

namespace message_map_detail {

template <class Member>
struct ClassOf;
template <class Class, class Function>
struct ClassOf<Function Class::*> {
    using Type = Class;
};

// One unpacking per handler shape; a message table pairs each message with
// the shape its handler has.
template <class C>
LRESULT Call(C& self, LRESULT (C::*handler)(WPARAM, LPARAM), WPARAM wparam, LPARAM lparam) {
    return (self.*handler)(wparam, lparam);
}
template <class C>
LRESULT Call(C& self, void (C::*handler)(), WPARAM, LPARAM) {
    (self.*handler)();
    return 0;
}
template <class C>  // WM_*BUTTON*: key flags and the point in client coordinates
LRESULT Call(C& self, void (C::*handler)(UINT, POINT), WPARAM wparam, LPARAM lparam) {
    (self.*handler)(static_cast<UINT>(wparam),
                    POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
    return 0;
}
template <class C>  // WM_SIZE: kind of change, client width and height
LRESULT Call(C& self, void (C::*handler)(UINT, int, int), WPARAM wparam, LPARAM lparam) {
    (self.*handler)(static_cast<UINT>(wparam), LOWORD(lparam), HIWORD(lparam));
    return 0;
}
template <class C>  // WM_SIZING: the dragged edge and the window rectangle, changed in place
LRESULT Call(C& self, void (C::*handler)(UINT, RECT*), WPARAM wparam, LPARAM lparam) {
    (self.*handler)(static_cast<UINT>(wparam), reinterpret_cast<RECT*>(lparam));
    return TRUE;
}
template <class C>  // WM_SYSCOMMAND: the command id and the packed pointer position
LRESULT Call(C& self, void (C::*handler)(UINT, LPARAM), WPARAM wparam, LPARAM lparam) {
    (self.*handler)(static_cast<UINT>(wparam), lparam);
    return 0;
}
template <class C>  // WM_NCACTIVATE
LRESULT Call(C& self, BOOL (C::*handler)(BOOL), WPARAM wparam, LPARAM) {
    return (self.*handler)(static_cast<BOOL>(wparam));
}
template <class C>  // WM_CREATE: -1 refuses the creation
LRESULT Call(C& self, int (C::*handler)(CREATESTRUCTA*), WPARAM, LPARAM lparam) {
    return (self.*handler)(reinterpret_cast<CREATESTRUCTA*>(lparam));
}
template <class C>  // WM_QUERYDRAGICON
LRESULT Call(C& self, HCURSOR (C::*handler)(), WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>((self.*handler)());
}

template <auto kHandler>
LRESULT Invoke(CWnd& window, WPARAM wparam, LPARAM lparam) {
    using Class = typename ClassOf<decltype(kHandler)>::Type;
    return Call<Class>(static_cast<Class&>(window), kHandler, wparam, lparam);
}

template <auto kHandler>  // void handler(NMHDR*, LRESULT* result)
LRESULT InvokeNotify(CWnd& window, WPARAM, LPARAM lparam) {
    using Class = typename ClassOf<decltype(kHandler)>::Type;
    LRESULT result = 0;
    (static_cast<Class&>(window).*kHandler)(reinterpret_cast<NMHDR*>(lparam), &result);
    return result;
}

}  // namespace message_map_detail

template <auto kHandler>
constexpr MessageEntry OnMessage(UINT message) {
    return {MessageKind::kMessage, message, 0, 0, &message_map_detail::Invoke<kHandler>};
}

// A button click (BN_CLICKED) or menu command by default; the handler takes nothing.
template <auto kHandler>
constexpr MessageEntry OnCommand(UINT id, UINT code = BN_CLICKED) {
    return {MessageKind::kCommand, WM_COMMAND, id, code, &message_map_detail::Invoke<kHandler>};
}

template <auto kHandler>
constexpr MessageEntry OnNotify(UINT id, UINT code) {
    return {MessageKind::kNotify, WM_NOTIFY, id, code, &message_map_detail::InvokeNotify<kHandler>};
}

// In a control's own table: a notification it sent to its parent, reflected back.
template <auto kHandler>
constexpr MessageEntry OnReflectedNotify(UINT code) {
    return {MessageKind::kReflectedNotify, WM_NOTIFY, 0, code,
            &message_map_detail::InvokeNotify<kHandler>};
}
