#pragma once
// The whole program's windows over a temporary program folder, with scripted boxes, and what the window tests
// of the settings window need to act as a user.
#include <windows.h>

#include <string>

#include "ui/program/program_windows.h"
#include "window_test_support.h"

namespace korvane::testing {

// The program as it runs, without its message loop: a test shows windows, acts and handles the messages.
class ProgramHarness : public ProgramFolderServices {
public:
    ui::ProgramWindows windows{settings, services};

    ui::frmCopy& OpenCopyWindow()
    {
        windows.ShowCopyWindow();
        PumpMessages();
        return *windows.copyWindow();
    }
    // The settings window as the copy window's settings button opens it without a password.
    ui::frmSetup& OpenSettingsWindow()
    {
        Click(OpenCopyWindow().cmdSetup);
        return *windows.settingsWindow();
    }
};

// Types `text` at the end of the box `control` character by character, as the keyboard's characters arrive.
inline void TypeInto(HWND control, const std::wstring& text)
{
    const int end = GetWindowTextLengthW(control);
    SendMessageW(control, EM_SETSEL, end, end);
    for (wchar_t c : text) PostMessageW(control, WM_CHAR, c, 1);
    PumpMessages();
}

// Empties a text box as a user would: everything selected, then Backspace.
inline void ClearBox(HWND box)
{
    SendMessageW(box, EM_SETSEL, 0, -1);
    PostMessageW(box, WM_CHAR, VK_BACK, 1);
    PumpMessages();
}

// A key pressed with modifiers held, in the control that has the focus (Alt gives the system key messages).
inline void PressKeyWith(WPARAM key, bool shift, bool control, bool alt)
{
    BYTE state[256] = {};
    GetKeyboardState(state);
    const BYTE saved[3] = {state[VK_SHIFT], state[VK_CONTROL], state[VK_MENU]};
    state[VK_SHIFT] = shift ? 0x80 : 0;
    state[VK_CONTROL] = control ? 0x80 : 0;
    state[VK_MENU] = alt ? 0x80 : 0;
    SetKeyboardState(state);
    HWND focus = GetFocus();
    const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    const UINT up = alt ? WM_SYSKEYUP : WM_KEYUP;
    const LPARAM context = alt ? (1 << 29) : 0;
    PostMessageW(focus, down, key, context | 1);
    PostMessageW(focus, up, key, context | (1u << 30) | (1u << 31) | 1);
    PumpMessages();
    state[VK_SHIFT] = saved[0];
    state[VK_CONTROL] = saved[1];
    state[VK_MENU] = saved[2];
    SetKeyboardState(state);
}

// A real click in the middle of a list item's label.
inline void ClickItem(const ui::ListView& list, std::size_t index)
{
    static DWORD lastClick = 0;
    const DWORD since = GetTickCount() - lastClick;
    if (since <= GetDoubleClickTime()) Sleep(GetDoubleClickTime() - since + 50);
    ListView_EnsureVisible(list.handle(), static_cast<int>(index), FALSE);  // as a user scrolls to it first
    const RECT rect = LabelRect(list, index);
    POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(list.handle(), &centre);
    MouseClickAt(centre);
    lastClick = GetTickCount();
}

// The edit box of the label being edited, or nullptr.
inline HWND LabelEditor(const ui::ListView& list) { return ListView_GetEditControl(list.handle()); }

// The label the list shows for an item.
inline std::wstring ShownLabel(const ui::ListView& list, std::size_t index)
{
    wchar_t text[512] = {};
    ListView_GetItemText(list.handle(), static_cast<int>(index), 0, text, 512);
    return text;
}

}  // namespace korvane::testing
