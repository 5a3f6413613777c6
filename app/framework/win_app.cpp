#include "framework/win_app.h"

namespace {

CWinApp* g_pApp = nullptr;

}  // namespace

CWinApp::CWinApp(const char* app_name) {
    if (app_name != nullptr) {
        m_strAppName = app_name;
    } else {
        char path[MAX_PATH + 1] = {};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        m_strAppName = ProgramNameFromPath(path);
    }
    m_pszAppName = m_strAppName;
    g_pApp = this;
}

CWinApp::~CWinApp() {
    g_pApp = nullptr;
}

CWinApp* AfxGetApp() {
    return g_pApp;
}

std::string ProgramNameFromPath(const std::string& path) {
    const auto slash = path.find_last_of("\\/:");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}
