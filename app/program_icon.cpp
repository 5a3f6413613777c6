#include "program_icon.h"

#include "resource.h"

HICON LoadProgramIcon(int size) {
    return static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr),
                                           MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, size, size,
                                           LR_SHARED));
}
