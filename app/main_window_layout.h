// The main window's geometry as plain arithmetic: the list stretches with
// the window, the two buttons keep their size and their distances from the
// right and bottom edges, and a dragged edge stops at the minimum size.
#pragma once

#include <windows.h>

struct ListPlacement {
    int left = 0;
    int top = 0;
    int right_margin = 0;   // client width minus the list's right edge
    int bottom_margin = 0;  // client height minus the list's bottom edge
};

struct ButtonPlacement {
    int width = 0;
    int height = 0;
    int right_margin = 0;
    int bottom_margin = 0;
};

struct MainWindowLayout {
    ListPlacement list;
    ButtonPlacement scan;
    ButtonPlacement exit;
};

// The layout as the template left it: the client size and each control's
// rectangle in client coordinates.
MainWindowLayout RecordLayout(SIZE client, const RECT& list, const RECT& scan, const RECT& exit);
// Where the list and a button go in a client area of `client`.
RECT PlaceList(const ListPlacement& list, SIZE client);
RECT PlaceButton(const ButtonPlacement& button, SIZE client);

// The smallest outer size a drag may leave the window with.
inline constexpr int kMinimumWidth = 194;
inline constexpr int kMinimumHeight = 130;
// WM_SIZING: holds back the dragged edge (WMSZ_...) of the outer rectangle
// `window` so that the opposite edge stays where it is.
void KeepMinimumSize(UINT edge, RECT& window);

// Where the icon goes in a minimised window's client area: centred.
POINT MinimisedIconPosition(SIZE client, SIZE icon);
