#include "list/sort_header.h"

#include "framework/dc.h"
#include "framework/gdi_object.h"

namespace {

// The arrow inside item rectangle `r`: lines from each point to the next, in
// the light pen, then in the shadow pen (a line's end point is not drawn).
struct SortArrowLines {
    POINT light[3];
    int light_points;
    POINT shadow[3];
    int shadow_points;
};

// DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX | DT_END_ELLIPSIS, aligned as the
// item.
UINT TextFormat(int item_format) {
    const UINT flags = DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX | DT_END_ELLIPSIS;
    if (item_format & HDF_CENTER) return flags | DT_CENTER;
    if (item_format & HDF_RIGHT) return flags | DT_RIGHT;
    return flags | DT_LEFT;
}

SortArrowLines ArrowLines(const RECT& r, bool ascending) {
    // y is counted from the control's top, not from r.top: a header item starts at 0.
    const int o = (r.bottom - r.top) / 4;
    if (ascending) {
        return {{{r.right - 2 * o, o},
                 {r.right - o, r.bottom - o - 1},
                 {r.right - 3 * o - 2, r.bottom - o - 1}},
                3,
                {{r.right - 3 * o - 1, r.bottom - o - 1}, {r.right - 2 * o, o - 1}},
                2};
    }
    return {{{r.right - o - 1, o}, {r.right - 2 * o - 1, r.bottom - o}},
            2,
            {{r.right - 2 * o - 2, r.bottom - o}, {r.right - 3 * o - 1, o}, {r.right - o - 1, o}},
            3};
}

}  // namespace

void CSortHeaderCtrl::SetSortArrow(int column, BOOL ascending) {
    m_nSortCol = column;
    m_bSortAsc = ascending;
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    GetItem(column, &item);
    item.fmt |= HDF_OWNERDRAW;
    SetItem(column, &item);
    Invalidate(true);
}

void CSortHeaderCtrl::DrawItem(DRAWITEMSTRUCT* draw) {
    const RECT r = draw->rcItem;
    const int o = (r.bottom - r.top) / 4;
    CDC dc;
    dc.Attach(draw->hDC);
    const int saved = dc.SaveDC();

    CRgn clip;
    clip.CreateRectRgnIndirect(&r);
    dc.SelectClipRgn(&clip);
    clip.DeleteObject();

    const CBrush face(::GetSysColor(COLOR_BTNFACE));
    dc.FillRect(&r, &face);
    // The fill covers the divider the header draws between its items; put it back.
    const CBrush divider(::GetSysColor(COLOR_BTNSHADOW));
    const RECT divider_rect{r.right - 1, r.top + o / 2, r.right, r.bottom - o / 2};
    dc.FillRect(&divider_rect, &divider);

    char text[256] = {};
    HDITEMA item{};
    item.mask = HDI_TEXT | HDI_FORMAT;
    item.pszText = text;
    item.cchTextMax = sizeof text - 1;
    GetItem(static_cast<int>(draw->itemID), &item);

    RECT text_rect = r;
    if (draw->itemState == ODS_SELECTED) {  // pressed: the text moves, the arrow stays
        text_rect.left += 1;
        text_rect.top += 2;
        text_rect.right += 1;
    }
    const bool sort_column = static_cast<int>(draw->itemID) == m_nSortCol;
    if (sort_column) text_rect.right -= 3 * o;
    text_rect.left += o;
    text_rect.right -= o;
    if (text_rect.left < text_rect.right) dc.DrawText(text, &text_rect, TextFormat(item.fmt));

    if (sort_column) {
        const CPen light(PS_SOLID, 1, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        const CPen shadow(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
        const SortArrowLines lines = ArrowLines(r, m_bSortAsc != 0);
        const HGDIOBJ previous = dc.SelectObject(&light);
        dc.MoveTo(lines.light[0].x, lines.light[0].y);
        for (int i = 1; i < lines.light_points; ++i) dc.LineTo(lines.light[i].x, lines.light[i].y);
        dc.SelectObject(&shadow);
        dc.MoveTo(lines.shadow[0].x, lines.shadow[0].y);
        for (int i = 1; i < lines.shadow_points; ++i) {
            dc.LineTo(lines.shadow[i].x, lines.shadow[i].y);
        }
        dc.SelectObject(previous);
    }

    dc.RestoreDC(saved);
    dc.Detach();
}

BOOL CSortHeaderCtrl::OnNcActivate(BOOL) {
    return static_cast<BOOL>(Default());
}

void CSortHeaderCtrl::OnPaint() {
    Default();
}

const MessageMap* CSortHeaderCtrl::ClassMessageMap() {
    static constexpr MessageEntry kEntries[] = {
        OnMessage<&CSortHeaderCtrl::OnNcActivate>(WM_NCACTIVATE),
        OnMessage<&CSortHeaderCtrl::OnPaint>(WM_PAINT),
    };
    static constexpr MessageMap kMap{nullptr, kEntries};
    return &kMap;
}
