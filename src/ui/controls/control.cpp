#include "ui/controls/control.h"

#include <stdexcept>


namespace korvane::ui {

Control::Control(ControlHost& parent, const Kind& kind, const ControlDesign& design)
    : parent_(parent), place_(design.place), backColour_(design.backColour)
{
    if (backColour_) backBrush_.reset(CreateSolidBrush(*backColour_));
    HWND hwnd = CreateWindowExW(kind.exStyle, kind.className, design.caption.c_str(),
                                kind.style | WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                                parent.handle(), reinterpret_cast<HMENU>(parent.NextControlId()),
                                GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) throw std::runtime_error("CreateWindowExW failed for a control");
    hwnd_.reset(hwnd);
    parent.Adopt(*this);
}

Control::~Control() { parent_.Abandon(*this); }

std::wstring Control::Text() const
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(handle())) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(handle(), text.data(), static_cast<int>(text.size()))));
    return text;
}

void Control::SetVisible(bool visible) { ShowWindow(handle(), visible ? SW_SHOWNA : SW_HIDE); }

bool Control::IsEnabled() const { return IsWindowEnabled(handle()) != FALSE; }

void Control::SetEnabled(bool enabled) { EnableWindow(handle(), enabled ? TRUE : FALSE); }

void Control::Focus() { SetFocus(handle()); }

void Control::SetBackColour(std::optional<COLORREF> colour)
{
    backColour_ = colour;
    backBrush_.reset(colour ? CreateSolidBrush(*colour) : nullptr);
    InvalidateRect(handle(), nullptr, TRUE);
}

void Control::SetCaption(const std::wstring& text) { SetWindowTextW(handle(), text.c_str()); }

HBRUSH Control::OnControlColour(HDC dc)
{
    if (!backColour_) return nullptr;
    SetBkColor(dc, *backColour_);
    return backBrush_.get();
}

RECT Control::PixelRect(unsigned dpi) const { return TwipsToPixels(place_, dpi); }

void Control::SetFont(HFONT font) { SendMessageW(handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE); }

void Control::Subclass()
{
    SetWindowLongPtrW(handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    classProcedure_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::SubclassProcedure)));
}

LRESULT CALLBACK Control::SubclassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    return reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))->OnOwnMessage(hwnd, message, wParam,
                                                                                             lParam);
}

LRESULT Control::OnOwnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    return CallClassProcedure(hwnd, message, wParam, lParam);
}

LRESULT Control::CallClassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) const noexcept
{
    return CallWindowProcW(classProcedure_, hwnd, message, wParam, lParam);
}

void Control::NotifyWindow(HWND control, NMHDR& header)
{
    header.hwndFrom = control;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    SendMessageW(GetParent(control), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void Control::MoveTo(const RECT& pixels)
{
    SetWindowPos(handle(), nullptr, pixels.left, pixels.top, pixels.right - pixels.left,
                 pixels.bottom - pixels.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::OnLayout(unsigned dpi, HFONT font)
{
    SetFont(font);
    MoveTo(PixelRect(dpi));
}

}  // namespace korvane::ui
