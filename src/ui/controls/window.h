#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/controls/handles.h"

namespace korvane::ui {

class Control;

// A top-level window that owns its controls: it creates itself hidden, lays its controls out in twips at its
// own dpi (again on WM_DPICHANGED), reflects control messages to them and never lets an exception out of its
// window procedure. Closing it destroys the HWND and every control's HWND; the C++ object stays, closed,
// until its owner lets it go.
class Window {
public:
    struct Design {
        std::wstring caption;
        int clientWidth = 0;  // twips
        int clientHeight = 0;  // twips
        COLORREF backColour = RGB(255, 255, 255);
        HWND owner = nullptr;
    };

    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND handle() const noexcept { return hwnd_; }
    bool IsOpen() const noexcept { return hwnd_ != nullptr; }
    unsigned Dpi() const noexcept { return dpi_; }
    // Shows the window, active, with the focus on its first tab stop.
    void Show();
    // Destroys the window at once; no closing question is asked.
    void Close();
    // Shows the window modally over its owner and returns when it is closed.
    void ShowModal();

    // Runs after the window and its controls have been destroyed.
    std::function<void()> onClosed;

    // Keyboard navigation for the windows of this program: Tab, Esc, Enter and access keys. The message loop
    // calls it for every message; true means the message was handled and must not be dispatched.
    static bool TranslateDialogMessage(MSG& message);

protected:
    explicit Window(const Design& design);

    // Enter clicks the default button, Esc the cancel button.
    void SetDefaultButton(Control& button);
    void SetCancelButton(Control& button);
    void SetIcon(int resourceId);
    // Sizes the window to its client area, places every control and sets the font, all at the window's dpi.
    void LayOut();
    void CenterOnScreen();

    // Called by LayOut after the controls have been placed, for what the window scales itself.
    virtual void OnLayout(unsigned /*dpi*/) {}
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HFONT font() const noexcept { return font_.get(); }

private:
    friend class Control;
    int NextControlId() noexcept { return nextControlId_++; }
    void Adopt(Control& control);
    void Abandon(Control& control) noexcept;
    Control* FindControl(HWND hwnd) const noexcept;
    void FocusControl(HWND control);
    void OnDestroyed();
    void LayOutAt(unsigned dpi);
    void SizeClientArea(int width, int height, unsigned dpi);
    void ReenableModalOwner() noexcept;

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static ATOM WindowClass();

    Design design_;
    HWND hwnd_ = nullptr;  // owned: destroyed by Close or by the destructor
    unsigned dpi_ = USER_DEFAULT_SCREEN_DPI;  // as the system last told the window
    std::vector<Control*> controls_;
    UniqueFont font_;
    UniqueBrush backBrush_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    int iconResource_ = 0;
    HWND focusBeforeDeactivation_ = nullptr;
    HWND modalOwner_ = nullptr;
    bool hasDefaultButton_ = false;
    int nextControlId_ = 100;  // below are IDOK and IDCANCEL, which the default and cancel buttons take
};

}  // namespace korvane::ui
