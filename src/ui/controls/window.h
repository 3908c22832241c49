#pragma once
#include <windows.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "ui/controls/control.h"
#include "ui/controls/dialog_navigation.h"
#include "ui/controls/handles.h"
#include "ui/twips.h"

namespace korvane::ui {

// A top-level window that owns its controls: it creates itself hidden, lays its controls out in twips at its
// own dpi (again on WM_DPICHANGED), reflects control messages to them, navigates among them from the keyboard
// as a dialog box does, and never lets an exception out of its window procedure. Closing it destroys the HWND
// and every control's HWND; the C++ object stays, closed, until its owner lets it go.
class Window : public ControlHost {
public:
    enum class Border {
        FixedSingle,  // a caption with an icon and a close box; no minimise or maximise box; not resizable
        FixedDialog,  // a dialog box's frame: a caption with a close box and no icon; not resizable
    };

    struct Design {
        std::wstring caption;
        TwipsSize clientSize;
        COLORREF backColour = RGB(255, 255, 255);
        Border border = Border::FixedSingle;
        HWND owner = nullptr;
        int iconResource = 0;  // the program's icon shown in the caption and the task bar; 0 for none
    };

    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND handle() const noexcept override { return hwnd_.get(); }
    bool IsOpen() const noexcept { return hwnd_.valid(); }
    unsigned Dpi() const noexcept { return dpi_; }
    // Shows the window, active, with the focus on its first tab stop.
    void Show();
    // Shows the window and brings it forward; the focus stays where it was in it.
    void BringForward();
    // Destroys the window at once; no closing question is asked.
    void Close();
    // Shows the window modally over its owner and returns when it is closed.
    void ShowModal();

    // Runs after the window and its controls have been destroyed.
    std::function<void()> onClosed;

protected:
    explicit Window(const Design& design);

    // Enter clicks the default button, Esc the cancel button.
    void SetDefaultButton(Control& button);
    void SetCancelButton(Control& button);
    // Puts the controls in this tab order, which is also their order from top to bottom where they overlap (a
    // frame comes after the controls it holds). Without it, the order is that of their creation.
    void SetTabOrder(std::initializer_list<const Control*> controls);
    // Sizes the window to its client area, places every control and sets the font, all at the window's dpi.
    void LayOut();
    void CenterOnScreen();

    // Called by LayOut after the controls have been placed, for what the window scales itself.
    virtual void OnLayout(unsigned /*dpi*/) {}
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    HFONT font() const noexcept { return font_.get(); }

private:
    int NextControlId() noexcept override { return nextControlId_++; }
    void Adopt(Control& control) override;
    void Abandon(Control& control) noexcept override;
    Control* FindControl(HWND hwnd) const noexcept;
    std::optional<LRESULT> ReflectToControl(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT ColourFor(UINT message, HDC dc, HWND controlHandle);
    void OnDestroyed();
    void LayOutAt(unsigned dpi);
    void SizeClientArea(int width, int height, unsigned dpi);
    void ShowIcon(unsigned dpi);  // the design's icon, drawn at `dpi`

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    Design design_;
    UniqueWindow hwnd_;
    DialogNavigation navigation_{nullptr};
    unsigned dpi_ = USER_DEFAULT_SCREEN_DPI;  // as the system last told the window
    std::vector<Control*> controls_;
    UniqueFont font_;
    UniqueBrush backBrush_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    DisabledWindow disabledOwner_;  // the owner of a modal window, while the window is open
    int nextControlId_ = 100;  // below are IDOK and IDCANCEL, which the default and cancel buttons take
};

}  // namespace korvane::ui
