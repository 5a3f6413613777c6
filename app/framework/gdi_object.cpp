#include "framework/gdi_object.h"

void CGdiObject::DeleteObject() {
    if (m_hObject != nullptr) ::DeleteObject(m_hObject);
    m_hObject = nullptr;
}

bool CRgn::CreateRectRgnIndirect(const RECT* rect) {
    DeleteObject();
    m_hObject = ::CreateRectRgnIndirect(rect);
    return m_hObject != nullptr;
}
