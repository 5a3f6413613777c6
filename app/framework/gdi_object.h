// Drawing objects that delete themselves: a pen, a solid brush, a region.
#pragma once

#include <windows.h>

class CGdiObject {
  public:
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    ~CGdiObject() { DeleteObject(); }

    void DeleteObject();
    HGDIOBJ m_hObject = nullptr;

  protected:
    CGdiObject() = default;
};

class CPen : public CGdiObject {
  public:
    CPen(int style, int width, COLORREF color) { m_hObject = ::CreatePen(style, width, color); }
};

class CBrush : public CGdiObject {
  public:
    explicit CBrush(COLORREF color) { m_hObject = ::CreateSolidBrush(color); }
};

class CRgn : public CGdiObject {
  public:
    bool CreateRectRgnIndirect(const RECT* rect);
};
