// CButton: a push button, radio button or check box bound to its object.
#pragma once

#include "framework/wnd.h"

class CButton : public CWnd {};
