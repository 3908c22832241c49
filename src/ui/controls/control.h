#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "ui/controls/handles.h"
#include "ui/twips.h"

namespace korvane::ui {

class Control;

// A control as its window's design gives it, with designated initialisers as a window's Design:
// `Frame(*this, {.caption = L"保存先", .place = {120, 1920, 4092, 2652}, .backColour = kFrameColour})`.
struct ControlDesign {
    std::wstring caption{};                // what it shows at first; empty for a box, list or tree
    TwipsRect place{};                     // in the window's client area
    std::optional<COLORREF> backColour{};  // behind its text; nothing: the system's own colours
};

// The window a control stands in, as the control sees it: the parent of its HWND, which numbers it and reflects
// its messages to it from creation to destruction.
class ControlHost {
public:
    virtual HWND handle() const noexcept = 0;

protected:
    ~ControlHost() = default;

private:
    friend class Control;
    virtual int NextControlId() noexcept = 0;
    virtual void Adopt(Control& control) = 0;
    virtual void Abandon(Control& control) noexcept = 0;
};

// A child control of a Window. It owns its HWND and is positioned and given the window's font by the window.
// The window reflects the messages that concern the control (WM_COMMAND, WM_NOTIFY, WM_CTLCOLOR*,
// WM_DRAWITEM) to it. Controls are created in tab order: the window's z-order is its tab order.
class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    HWND handle() const noexcept { return hwnd_.get(); }
    // The caption or content as the control shows it.
    std::wstring Text() const;
    void SetVisible(bool visible);
    bool IsEnabled() const;
    void SetEnabled(bool enabled);
    void Focus();
    // Changes the colour behind the control's text (nothing: the system's default) and draws it again.
    void SetBackColour(std::optional<COLORREF> colour);
    std::optional<COLORREF> backColour() const noexcept { return backColour_; }

protected:
    // The Win32 control class and styles a kind of control is made of.
    struct Kind {
        const wchar_t* className = nullptr;
        DWORD style = 0;
        DWORD exStyle = 0;
    };
    Control(ControlHost& parent, const Kind& kind, const ControlDesign& design);

    ControlHost& parent() const noexcept { return parent_; }
    // Changes the window text without any change event; public in the classes that have a caption.
    void SetCaption(const std::wstring& text);
    // The brush of its back colour, for a control that paints itself; without one, the system's face colour.
    HBRUSH backBrush() const noexcept { return backBrush_ ? backBrush_.get() : GetSysColorBrush(COLOR_BTNFACE); }

    // Messages about this control, reflected by the window.
    virtual LRESULT OnCommand(WORD /*code*/) { return 0; }
    virtual LRESULT OnNotify(const NMHDR& /*header*/) { return 0; }
    virtual void OnDrawItem(const DRAWITEMSTRUCT& /*item*/) {}
    // The brush behind the control's text: its back colour, or nothing for the system's default.
    virtual HBRUSH OnControlColour(HDC dc);
    // Whether a control without a back colour of its own shows the window's colour behind its text, as captions
    // do; a text box keeps the system's colours, also when it is disabled.
    virtual bool StandsOnWindowColour() const { return true; }
    // Places the control at the window's dpi and gives it the window's font.
    virtual void OnLayout(unsigned dpi, HFONT font);
    void SetFont(HFONT font);
    // Moves the control to `pixels` (a rectangle in the window's client coordinates).
    void MoveTo(const RECT& pixels);
    RECT PixelRect(unsigned dpi) const;

    // From now on every message to the control goes first to OnOwnMessage. The control's window procedure is
    // replaced (GWLP_WNDPROC) rather than subclassed with SetWindowSubclass, whose dispatch of every message under
    // Wine made filling 10,000 tree nodes take 2.6 s instead of 0.7 s (bench_destination_tree).
    void Subclass();
    // A message to a subclassed control; what it does not handle goes on to CallClassProcedure. `hwnd` is the
    // control's, and may be destroyed once the class's procedure returns.
    virtual LRESULT OnOwnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT CallClassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) const noexcept;
    // Sends a notification of the control's own (`header.code` 1 or above; the common controls' are negative)
    // to its window as WM_NOTIFY, so that its handler runs under the window's guard like every other event.
    static void NotifyWindow(HWND control, NMHDR& header);

private:
    friend class Window;
    // The window is being destroyed and has destroyed this control's HWND with it.
    void ForgetHandle() noexcept { hwnd_.release(); }
    static LRESULT CALLBACK SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    ControlHost& parent_;
    TwipsRect place_;
    std::optional<COLORREF> backColour_;
    UniqueBrush backBrush_;
    WNDPROC classProcedure_ = nullptr;  // the control class's own procedure, once subclassed
    UniqueWindow hwnd_;
};

// Keeps a control from drawing while many of its items change, until the returned guard goes out of scope; then
// it draws once, whole.
[[nodiscard]] inline auto PauseRedraw(const Control& control) noexcept
{
    HWND hwnd = control.handle();
    SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
    return ScopeExit([hwnd] {
        SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(hwnd, nullptr, TRUE);
    });
}

}  // namespace korvane::ui
