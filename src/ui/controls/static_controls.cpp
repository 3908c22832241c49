#include "ui/controls/static_controls.h"

namespace korvane::ui {

namespace {
constexpr UINT_PTR kPaintingSubclass = 1;
}

Label::Label(ControlHost& parent, const std::wstring& caption, const TwipsRect& place, std::optional<COLORREF> backColour,
             Wrap wrap)
    : Control(parent, {WC_STATICW, SS_LEFT | WS_GROUP | (wrap == Wrap::Words ? DWORD{0} : DWORD{SS_LEFTNOWORDWRAP}),
                       0, caption, place, backColour})
{
}

Frame::Frame(ControlHost& parent, const std::wstring& caption, const TwipsRect& place, COLORREF backColour)
    : Control(parent, {WC_BUTTONW, BS_GROUPBOX | WS_GROUP, 0, caption, place, backColour})
{
    SetWindowSubclass(handle(), &Frame::PaintingProcedure, kPaintingSubclass, reinterpret_cast<DWORD_PTR>(this));
}

Frame::~Frame()
{
    if (handle() != nullptr) RemoveWindowSubclass(handle(), &Frame::PaintingProcedure, kPaintingSubclass);
}

// The frame is painted here whole: a group box of its own paints neither its inside nor, on some systems,
// the strip above its edge in the frame's colour.
LRESULT CALLBACK Frame::PaintingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self) noexcept
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        const PaintScope paint(hwnd);
        reinterpret_cast<const Frame*>(self)->Paint(paint.get());
        return 0;
    }
    case WM_NCDESTROY:
        RemoveWindowSubclass(hwnd, &Frame::PaintingProcedure, kPaintingSubclass);
        break;
    default:
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void Frame::Paint(HDC dc) const
{
    RECT area;
    GetClientRect(handle(), &area);
    FillRect(dc, &area, backBrush());

    const ScopedSelection font(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(handle(), WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    RECT edge = area;
    edge.top += metrics.tmHeight / 2;
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);

    const std::wstring caption = Text();
    if (!caption.empty()) {
        const int indent = metrics.tmAveCharWidth;
        RECT text{area.left + indent, area.top, area.right - indent, area.top + metrics.tmHeight};
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_CALCRECT | DT_SINGLELINE);
        InflateRect(&text, 2, 0);  // a little of the frame's colour on both sides of the caption
        FillRect(dc, &text, backBrush());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(IsEnabled() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_CENTER | DT_SINGLELINE);
    }
}

}  // namespace korvane::ui
