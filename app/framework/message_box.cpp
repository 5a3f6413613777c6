#include "framework/message_box.h"

#include "framework/win_app.h"

namespace {

MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}

}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) {
    Hook() = std::move(hook);
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    if (Hook()) return Hook()(MessageBoxCall{owner, text, caption, type});
    return ::MessageBoxA(owner, text, caption, type);
}

int AfxMessageBox(const char* text, UINT type) {
    const CWinApp* app = AfxGetApp();
    return ShowMessageBox(nullptr, text, app != nullptr ? app->m_pszAppName : "", type);
}
