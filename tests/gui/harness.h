// The GUI test harness: runs the program's real dialogs from its resources,
// drives them with the messages a user's actions produce, and reads back
// what a user would see (texts, states, pixels). Message boxes are recorded
// instead of shown.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/message_box.h"

namespace gui_test {

// Runs `dialog` modally; `drive` runs once inside its modal loop with the
// dialog's window shown and must end the dialog (or leave it to the user).
INT_PTR RunModal(CDialog& dialog, const std::function<void(HWND)>& drive);
// The same for the program's main window, which the program makes the
// application's main window (the owner of the dialogs it opens) while it runs.
INT_PTR RunMainWindow(CDialog& dialog, const std::function<void(HWND)>& drive);
// Handles what is queued for this thread, as the modal loop would.
void PumpMessages();
// Shows `watcher` every message PumpMessages takes, before it is handled; an
// empty one stops watching.
void WatchMessages(std::function<void(const MSG&)> watcher);
// Handles messages until `holds` or `timeout_ms` is over; whether it held.
bool WaitUntil(const std::function<bool()>& holds, DWORD timeout_ms);
// Handles messages for `milliseconds`: time for what should not come to show it would.
void PumpFor(DWORD milliseconds);

// Runs `open`, which shows a dialog modally (a double-click, a command);
// `drive` runs once inside that dialog's modal loop with its window shown and
// must end it. Whether the dialog showed.
bool DriveDialogOpenedBy(const std::function<void()>& open, const std::function<void(HWND)>& drive);
// The same for dialogs that `open` shows one after another: each new one is
// driven by the next of `drives`, which must end it; the last must end the
// last. How many were driven.
std::size_t DriveDialogsOpenedBy(const std::function<void()>& open,
                                 const std::vector<std::function<void(HWND)>>& drives);

// A click on button `id` of `dialog`, as the mouse gives it.
void ClickButton(HWND dialog, int id);
// Characters typed into `edit`, which gets the focus first.
void Type(HWND edit, const std::string& text);
// A key as the keyboard delivers it, to the control with the focus.
void PressKey(UINT key);
// Mouse down and up in the middle of header item `index`.
void ClickHeaderItem(HWND header, int index);
// Mouse down on header item `index` only (the item shows pressed).
void PressHeaderItem(HWND header, int index);
void ReleaseHeaderItem(HWND header, int index);

std::string WindowText(HWND window);
// What control `id` of a dialog shows.
bool ControlEnabled(HWND dialog, int id);
bool EditReadOnly(HWND dialog, int id);
bool ButtonChecked(HWND dialog, int id);
// An IP address control's address, first number in the most significant byte.
DWORD AddressShown(HWND dialog, int id);
// Selects all of an edit's text and types `text` over it; an empty text deletes it.
void Retype(HWND edit, const std::string& text);
int ListRowCount(HWND list);
std::string ListText(HWND list, int row, int column);
std::vector<std::string> ListColumnTexts(HWND list, int column);
// The first row whose column `column` reads `text`; -1 when none does.
int FindListRow(HWND list, int column, const std::string& text);
// The middle of a cell of the list, in the list's client coordinates.
POINT ListCellCenter(HWND list, int row, int column);
// A double-click on the list at `point`, as the mouse gives it.
void DoubleClickList(HWND list, POINT point);
// Selects and focuses `row` alone, as a click on it leaves it.
void SelectListRow(HWND list, int row);
std::string HeaderText(HWND header, int index);
int HeaderFormat(HWND header, int index);
RECT HeaderItemRect(HWND header, int index);

// What a window's client area shows, read back from the screen.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels;  // rows top to bottom
    COLORREF At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};
Bitmap CaptureClient(HWND window);
// Saves the whole window, frame included, as NAME.bmp in the folder
// TOLM_GUI_SCREENSHOTS names (nothing when it is not set).
void SaveScreenshot(HWND window, const std::string& name);

// Records every message box while it lives; each is answered with IDOK, or
// the button Answer gives for the boxes that follow.
class MessageBoxRecorder {
  public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const std::vector<MessageBoxCall>& Calls() const { return m_calls; }
    void Clear() { m_calls.clear(); }
    void Answer(int button) { m_answer = button; }
    // Runs while each box is "shown", before it is answered, as the user
    // would be slow to press the button; empty for none.
    void WhileShown(std::function<void()> meanwhile) { m_meanwhile = std::move(meanwhile); }

  private:
    std::vector<MessageBoxCall> m_calls;
    int m_answer = IDOK;
    std::function<void()> m_meanwhile;
};

}  // namespace gui_test
