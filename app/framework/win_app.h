// CWinApp: the program's one application object. It is a static object; the
// framework's WinMain calls its InitInstance, which runs the program's
// windows (all modal) and returns.
#pragma once

#include <windows.h>

#include <string>

#include "framework/string.h"

class CWnd;

class CWinApp {
  public:
    // Without a name the program is named after its executable's base name.
    explicit CWinApp(const char* app_name = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    // Runs the program; false says that no application message loop follows.
    virtual BOOL InitInstance() { return FALSE; }

    // The program's name: the caption of its own message boxes.
    const char* m_pszAppName;
    // The window that owns the program's other dialogs, once there is one.
    CWnd* m_pMainWnd = nullptr;

  private:
    CString m_strAppName;
};

// The application object, or null before it is constructed.
CWinApp* AfxGetApp();

// "C:\\dir\\Brannic Linkora CFG.exe" -> "Brannic Linkora CFG".
std::string ProgramNameFromPath(const std::string& path);
