#include "framework/dc.h"

#include <utility>

HDC CDC::Detach() {
    return std::exchange(m_hDC, nullptr);
}

int CDC::SelectClipRgn(const CRgn* region) {
    return ::SelectClipRgn(m_hDC, static_cast<HRGN>(region->m_hObject));
}

void CDC::FillRect(const RECT* rect, const CBrush* brush) {
    ::FillRect(m_hDC, rect, static_cast<HBRUSH>(brush->m_hObject));
}

int CDC::DrawText(const char* text, RECT* rect, UINT format) {
    return ::DrawTextA(m_hDC, text, -1, rect, format);
}
