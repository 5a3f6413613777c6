// CFerrowApp: the program. It starts the sockets layer and runs the main
// window modally; when that ends, the program ends.
#pragma once

#include "framework/win_app.h"

class CFerrowApp : public CWinApp {
  public:
    BOOL InitInstance() override;
};
