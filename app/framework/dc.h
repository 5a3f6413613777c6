// CDC: a device context to draw on, attached to one the system handed out.
#pragma once

#include <windows.h>

#include "framework/gdi_object.h"

class CDC {
  public:
    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    void Attach(HDC dc) { m_hDC = dc; }
    HDC Detach();

    int SaveDC() { return ::SaveDC(m_hDC); }
    bool RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved) != FALSE; }
    int SelectClipRgn(const CRgn* region);
    void FillRect(const RECT* rect, const CBrush* brush);
    int DrawText(const char* text, RECT* rect, UINT format);
    // The previously selected object of that kind.
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    HGDIOBJ SelectObject(const CGdiObject* object) { return SelectObject(object->m_hObject); }
    void MoveTo(int x, int y) { ::MoveToEx(m_hDC, x, y, nullptr); }
    // Draws from the current position up to, not including, (x, y).
    void LineTo(int x, int y) { ::LineTo(m_hDC, x, y); }

    HDC m_hDC = nullptr;
};
