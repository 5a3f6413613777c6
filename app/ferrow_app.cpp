#include "ferrow_app.h"

#include "ferrow_dlg.h"
#include "framework/message_box.h"
#include "framework/socket.h"

// The one application object; its name is the executable's base name.
CFerrowApp theApp;

BOOL CFerrowApp::InitInstance() {
    if (!AfxSocketInit()) {
        AfxMessageBox("Socket init failed", MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    CFerrowDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
