// The sort header as drawn: the arrow's pixels where the design puts them,
// both directions, the text's margins and alignment, and a pressed item.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "check_log.h"
#include "gui_tests.h"
#include "harness.h"
#include "list_dialog.h"

using tolm::windows_test::Check;

namespace gui_test {
namespace {

struct Colors {
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
};

// Lines may fall a pixel either way of the ideal point.
bool Near(const Bitmap& bitmap, int x, int y, COLORREF color) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const int px = x + dx;
            const int py = y + dy;
            if (px >= 0 && py >= 0 && px < bitmap.width && py < bitmap.height &&
                bitmap.At(px, py) == color) {
                return true;
            }
        }
    }
    return false;
}

// The bounds of the heading's ink inside `area`: pixels of no colour the drawing itself uses.
RECT InkBounds(const Bitmap& bitmap, RECT area) {
    const Colors colors;
    RECT ink{area.right, area.bottom, area.left - 1, area.top - 1};
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF pixel = bitmap.At(x, y);
            if (pixel == colors.face || pixel == colors.light || pixel == colors.shadow) continue;
            ink.left = std::min<LONG>(ink.left, x);
            ink.top = std::min<LONG>(ink.top, y);
            ink.right = std::max<LONG>(ink.right, x);
            ink.bottom = std::max<LONG>(ink.bottom, y);
        }
    }
    return ink;
}

bool OnlyFace(const Bitmap& bitmap, RECT area) {
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (bitmap.At(x, y) != Colors().face) return false;
        }
    }
    return true;
}

// Where the arrow of item `r` lies: right of the shortened text, inside the margins.
RECT ArrowArea(RECT r) {
    const int o = (r.bottom - r.top) / 4;
    return {r.right - 3 * o - 2, o - 1, r.right - o + 1, r.bottom - o + 1};
}

std::string Describe(RECT r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" +
           std::to_string(r.right) + "," + std::to_string(r.bottom) + ")";
}

void CheckAscendingArrow(const Bitmap& bitmap, RECT r) {
    const Colors c;
    const int o = (r.bottom - r.top) / 4;
    const int base = r.bottom - o - 1;
    Check(Near(bitmap, r.right - 2 * o, o, c.light) &&
              Near(bitmap, (r.right - 2 * o + r.right - o) / 2, (o + base) / 2, c.light) &&
              Near(bitmap, r.right - 2 * o, base, c.light),
          "ascending: apex, right side and base in the light colour, item " + Describe(r));
    Check(Near(bitmap, (r.right - 3 * o - 1 + r.right - 2 * o) / 2, (base + o) / 2, c.shadow),
          "ascending: the left side in the shadow colour");
    Check(bitmap.At(r.right - 2 * o, base - 2) == c.face &&
              bitmap.At(r.right - 2 * o, o - 2) == c.face,
          "ascending: inside and above the triangle the button face shows");
}

void CheckDescendingArrow(const Bitmap& bitmap, RECT r) {
    const Colors c;
    const int o = (r.bottom - r.top) / 4;
    Check(
        Near(bitmap, (r.right - o - 1 + r.right - 2 * o - 1) / 2, (o + r.bottom - o) / 2, c.light),
        "descending: the right side in the light colour");
    Check(Near(bitmap, r.right - 2 * o - 1, o, c.shadow) &&
              Near(bitmap, (r.right - 2 * o - 2 + r.right - 3 * o - 1) / 2, (r.bottom - o + o) / 2,
                   c.shadow),
          "descending: the top and the left side in the shadow colour");
    Check(bitmap.At(r.right - 2 * o - 1, o + 2) == c.face &&
              bitmap.At(r.right - 2 * o - 1, r.bottom - o + 1) == c.face,
          "descending: inside and below the triangle the button face shows");
}

void SetHeading(HWND header, int index, const char* text, int alignment) {
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = const_cast<char*>(text);
    item.fmt = HDF_STRING | HDF_OWNERDRAW | alignment;
    ::SendMessageA(header, HDM_SETITEMA, static_cast<WPARAM>(index),
                   reinterpret_cast<LPARAM>(&item));
}

int TextWidth(HWND header, const char* text) {
    const HDC dc = ::GetDC(header);
    const HGDIOBJ previous =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(header, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    ::SelectObject(dc, previous);
    ::ReleaseDC(header, dc);
    return size.cx;
}

void CheckArrowAndMargins(ListDialog& dialog, HWND header) {
    CTolmListCtrl& devices = dialog.m_listDevices;
    devices.SortByColumn(2, TRUE);
    SaveScreenshot(::GetAncestor(header, GA_ROOT), "sort_ascending");
    Bitmap bitmap = CaptureClient(header);
    const RECT gateway = HeaderItemRect(header, 2);
    const int o = (gateway.bottom - gateway.top) / 4;
    CheckAscendingArrow(bitmap, gateway);
    RECT ink = InkBounds(bitmap, {gateway.left, 0, gateway.right - 3 * o - 2, gateway.bottom});
    Check(ink.left >= gateway.left + o && ink.left <= gateway.left + o + 2 &&
              ink.right < gateway.right - 4 * o,
          "the sort column's text starts o after the item's left edge and ends 4o before its "
          "right edge, o = " +
              std::to_string(o) + ", text " + Describe(ink));

    devices.SortByColumn(4, FALSE);
    bitmap = CaptureClient(header);
    CheckDescendingArrow(bitmap, HeaderItemRect(header, 4));
    ink = InkBounds(bitmap, {gateway.left, 0, gateway.right, gateway.bottom});
    Check((HeaderFormat(header, 2) & HDF_OWNERDRAW) != 0 && OnlyFace(bitmap, ArrowArea(gateway)) &&
              ink.left >= gateway.left + o && ink.left <= gateway.left + o + 2,
          "the former sort column stays owner-drawn, without arrow, its text o from the edge");
}

void CheckPressedItem(ListDialog& dialog, HWND header) {
    const RECT version = HeaderItemRect(header, 4);
    const RECT text_area{version.left, 0, ArrowArea(version).left, version.bottom};
    const Bitmap released = CaptureClient(header);
    PressHeaderItem(header, 4);
    const Bitmap pressed = CaptureClient(header);
    const RECT before = InkBounds(released, text_area);
    const RECT after = InkBounds(pressed, text_area);
    // The text rectangle's top moves 2 down and its bottom stays: vertically
    // centred, the text moves 1 or 2 down, as the halved height rounds.
    Check(after.left == before.left + 1 &&
              (after.top == before.top + 1 || after.top == before.top + 2),
          "a pressed item draws its text 1 right and down: " + Describe(before) + " -> " +
              Describe(after));
    bool arrow_still = true;
    const RECT arrow = ArrowArea(version);
    for (int y = arrow.top; y < arrow.bottom; ++y) {
        for (int x = arrow.left; x < arrow.right; ++x) {
            arrow_still = arrow_still && released.At(x, y) == pressed.At(x, y);
        }
    }
    Check(arrow_still, "a pressed item's arrow does not move");
    ReleaseHeaderItem(header, 4);
    Check(dialog.m_listDevices.m_nSortColumn == 4 && dialog.m_listDevices.m_bSortAscending == 1,
          "releasing the pressed sort column is a click: it sorts the other way");
}

void CheckAlignment(ListDialog& dialog, HWND header) {
    CTolmListCtrl& devices = dialog.m_listDevices;
    devices.SortByColumn(3, TRUE);
    devices.SortByColumn(5, TRUE);
    devices.SortByColumn(6, TRUE);
    SetHeading(header, 5, "Type", HDF_RIGHT);
    SetHeading(header, 3, "DHCP", HDF_CENTER);
    Bitmap bitmap = CaptureClient(header);
    const RECT type = HeaderItemRect(header, 5);
    const RECT dhcp = HeaderItemRect(header, 3);
    const int o = (type.bottom - type.top) / 4;
    RECT ink = InkBounds(bitmap, type);
    Check(ink.right >= type.right - o - 3 && ink.right < type.right - o,
          "a right-aligned heading ends at the text rectangle's right edge " + Describe(ink));
    ink = InkBounds(bitmap, dhcp);
    const int middle = (dhcp.left + dhcp.right) / 2;
    Check(std::abs((ink.left + ink.right + 1) / 2 - middle) <= 2,
          "a centred heading stands in the middle " + Describe(ink));

    SetHeading(header, 5, "Fieldbus type of the module as reported", HDF_LEFT);
    SetHeading(header, 3, "A&B", HDF_LEFT);
    bitmap = CaptureClient(header);
    ink = InkBounds(bitmap, type);
    Check(ink.left >= type.left + o && ink.right < type.right - o,
          "a long heading is cut with an ellipsis inside the margins " + Describe(ink));
    ink = InkBounds(bitmap, dhcp);
    const int width = ink.right - ink.left + 1;
    Check(std::abs(width - TextWidth(header, "A&B")) < std::abs(width - TextWidth(header, "AB")),
          "an ampersand is drawn as itself, not as a mnemonic prefix");
}

}  // namespace

void RunSortHeaderTests() {
    ListDialog dialog(kMainColumns);
    RunModal(dialog, [&](HWND window) {
        const HWND list = ::GetDlgItem(window, 1002);
        const HWND header = ListView_GetHeader(list);
        Check(CWnd::FromHandlePermanent(header) == &dialog.m_listDevices.m_SortHeader,
              "binding the list binds its header to the sort header object");
        CheckArrowAndMargins(dialog, header);
        CheckPressedItem(dialog, header);
        CheckAlignment(dialog, header);
        ClickButton(window, IDOK);
    });
}

}  // namespace gui_test
