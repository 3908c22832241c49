#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "ui/controls/handles.h"

namespace korvane::ui {

class Window;

// A position and size in twips within a window's client area.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// `place`, given relative to a container (a frame) at `container`, in window coordinates.
constexpr TwipsRect Inside(const TwipsRect& container, const TwipsRect& place)
{
    return {container.left + place.left, container.top + place.top, place.width, place.height};
}

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
    bool IsVisible() const;
    void SetVisible(bool visible);
    bool IsEnabled() const;
    void SetEnabled(bool enabled);
    void Focus();

    // Free text kept for the program, as a tag on the control; the control itself never reads it.
    std::wstring tag;

protected:
    struct Creation {
        const wchar_t* className = nullptr;
        DWORD style = 0;
        DWORD exStyle = 0;
        std::wstring text;
        TwipsRect place;
        std::optional<COLORREF> backColour;
    };
    Control(Window& parent, const Creation& creation);

    Window& parent() const noexcept { return parent_; }
    // Changes the window text without any change event; public in the classes that have a caption.
    void SetCaption(const std::wstring& text);
    std::optional<COLORREF> backColour() const noexcept { return backColour_; }
    HBRUSH backBrush() const noexcept { return backBrush_.get(); }

    // Messages about this control, reflected by the window.
    virtual LRESULT OnCommand(WORD /*code*/) { return 0; }
    virtual LRESULT OnNotify(const NMHDR& /*header*/) { return 0; }
    virtual void OnDrawItem(const DRAWITEMSTRUCT& /*item*/) {}
    // The brush behind the control's text: its back colour, or nothing for the system's default.
    virtual HBRUSH OnControlColour(HDC dc);
    // Places the control at the window's dpi and gives it the window's font.
    virtual void OnLayout(unsigned dpi, HFONT font);
    // Moves the control to `pixels` (a rectangle in the window's client coordinates).
    void MoveTo(const RECT& pixels);
    RECT PixelRect(unsigned dpi) const;

private:
    friend class Window;
    // The window is being destroyed and has destroyed this control's HWND with it.
    void ForgetHandle() noexcept { hwnd_.release(); }

    Window& parent_;
    TwipsRect place_;
    std::optional<COLORREF> backColour_;
    UniqueBrush backBrush_;
    UniqueWindow hwnd_;
};

}  // namespace korvane::ui
