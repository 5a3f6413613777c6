// CFerrowApp: the program. It starts the sockets layer, reads the command
// line, runs the main window modally and, in companion mode, reports the
// module the user picked to the tool that started it; then the program ends.
#pragma once

#include "framework/win_app.h"

class CFerrowApp : public CWinApp {
  public:
    BOOL InitInstance() override;
};
