// The program's icon (resource 128), for its windows' captions and the task bar.
#pragma once

#include <windows.h>

// The icon at `size` pixels square; shared by the system, never destroyed.
HICON LoadProgramIcon(int size);
