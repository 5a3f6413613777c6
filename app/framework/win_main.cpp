// The program's entry point: common controls first, then the application
// object's InitInstance, inside which every window of the program runs.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "framework/win_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES};
    ::InitCommonControlsEx(&controls);
    CWinApp* app = AfxGetApp();
    if (app != nullptr) app->InitInstance();
    return 0;
}
