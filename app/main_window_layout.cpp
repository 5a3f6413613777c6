#include "main_window_layout.h"

MainWindowLayout RecordLayout(SIZE client, const RECT& list, const RECT& scan, const RECT& exit) {
    const auto button = [client](const RECT& rect) {
        return ButtonPlacement{rect.right - rect.left, rect.bottom - rect.top,
                               client.cx - rect.right, client.cy - rect.bottom};
    };
    return {{list.left, list.top, client.cx - list.right, client.cy - list.bottom},
            button(scan),
            button(exit)};
}

RECT PlaceList(const ListPlacement& list, SIZE client) {
    return {list.left, list.top, client.cx - list.right_margin, client.cy - list.bottom_margin};
}

RECT PlaceButton(const ButtonPlacement& button, SIZE client) {
    const int right = client.cx - button.right_margin;
    const int bottom = client.cy - button.bottom_margin;
    return {right - button.width, bottom - button.height, right, bottom};
}

void KeepMinimumSize(UINT edge, RECT& window) {
    if (window.right - window.left < kMinimumWidth) {
        if (edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT) {
            window.left = window.right - kMinimumWidth;
        } else {
            window.right = window.left + kMinimumWidth;
        }
    }
    if (window.bottom - window.top < kMinimumHeight) {
        if (edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT) {
            window.top = window.bottom - kMinimumHeight;
        } else {
            window.bottom = window.top + kMinimumHeight;
        }
    }
}

POINT MinimisedIconPosition(SIZE client, SIZE icon) {
    return {(client.cx - icon.cx + 1) / 2, (client.cy - icon.cy + 1) / 2};
}
