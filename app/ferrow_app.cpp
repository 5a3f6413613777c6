#include "ferrow_app.h"

#include <cstdlib>

#include "companion_link.h"
#include "ferrow_dlg.h"
#include "framework/message_box.h"
#include "framework/socket.h"
#include "shipped_guard.h"

// The one application object; its name is the executable's base name.
CFerrowApp theApp;

BOOL CFerrowApp::InitInstance() {
    tolm::lab::RequireLabInDevelopmentBuild(m_pszAppName);
    if (!AfxSocketInit()) {
        AfxMessageBox("Socket init failed", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    const CompanionMode companion = ReadCompanionMode(__argc, __argv);
    CFerrowDlg dialog;
    m_pMainWnd = &dialog;
    dialog.SetExitButtonText(companion.on ? "OK" : "Exit");
    const INT_PTR result = dialog.DoModal();
    m_pMainWnd = nullptr;
    // The window is gone, the library stopped and unloaded: the datagram is the last word.
    if (result == IDOK && companion.on) {
        SendCompanionDatagram(companion.port,
                              CompanionDatagram(dialog.m_szSelectedIp, dialog.m_szSelectedMac));
    }
    return FALSE;
}
