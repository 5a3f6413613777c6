#include "framework/ip_address_ctrl.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr std::size_t kFields = 4;

// The control's four edits, leftmost first. The control has no message for
// one field alone, and the order of its children is its own.
std::array<HWND, kFields> FieldEdits(HWND control) {
    std::array<std::pair<LONG, HWND>, kFields> found{};
    std::size_t count = 0;
    for (HWND child = ::GetWindow(control, GW_CHILD); child != nullptr && count < kFields;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        ::GetWindowRect(child, &rect);
        found[count++] = {rect.left, child};
    }
    std::sort(found.begin(), found.begin() + static_cast<std::ptrdiff_t>(count));
    std::array<HWND, kFields> edits{};
    for (std::size_t i = 0; i < count; ++i) edits[i] = found[i].second;
    return edits;
}

}  // namespace

unsigned CIPAddressCtrl::GetBlankFields() const {
    unsigned blank = 0;
    const std::array<HWND, kFields> edits = FieldEdits(m_hWnd);
    for (std::size_t i = 0; i < kFields; ++i) {
        if (edits[i] == nullptr || ::GetWindowTextLengthA(edits[i]) == 0) blank |= 1u << i;
    }
    return blank;
}

void CIPAddressCtrl::BlankFields(unsigned blank) {
    const std::array<HWND, kFields> edits = FieldEdits(m_hWnd);
    for (std::size_t i = 0; i < kFields; ++i) {
        if ((blank & (1u << i)) != 0 && edits[i] != nullptr) ::SetWindowTextA(edits[i], "");
    }
}
