// Every message box of the program goes through ShowMessageBox, so tests can
// watch them: with a hook set, the hook gets the box and answers for the user.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

struct MessageBoxCall {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;  // MB_ buttons and icon
};

// Answers with the button the user would have pressed (IDOK, ...).
using MessageBoxHook = std::function<int(const MessageBoxCall&)>;

// Sets the hook; an empty one shows real boxes again.
void SetMessageBoxHook(MessageBoxHook hook);

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// A box captioned with the program's name, without an owner.
int AfxMessageBox(const char* text, UINT type = MB_OK);
