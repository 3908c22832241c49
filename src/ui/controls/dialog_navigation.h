#pragma once
#include <windows.h>

#include <optional>

namespace korvane::ui {

// The keyboard behaviour of a dialog box, for a top-level window of the program: Tab and Shift+Tab through the
// tab stops, arrow keys inside a group, access keys, Enter for the default button and Esc for the cancel
// button; the focus comes back to where it was when the window is activated again.
class DialogNavigation {
public:
    explicit DialogNavigation(HWND window) noexcept : window_(window) {}

    // The button that Enter clicks; it takes the dialog's IDOK identifier.
    void SetDefaultButton(HWND button);
    // The button that Esc (and Alt+F4 turned into IDCANCEL by the system) clicks.
    void SetCancelButton(HWND button);
    // Moves the focus to the first tab stop.
    void FocusFirst();
    // Moves the focus to `control`; a text box reached this way has its whole text selected, as in a dialog.
    static void FocusControl(HWND control);

    // The window's answer to the messages of dialog navigation, or nothing for a message it leaves to others.
    std::optional<LRESULT> HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // For every message of a message loop: true when it was keyboard navigation of one of the program's windows
    // and has been handled.
    static bool Translate(MSG& message);

private:
    HWND window_;
    HWND focusBeforeDeactivation_ = nullptr;
    bool hasDefaultButton_ = false;
};

}  // namespace korvane::ui
