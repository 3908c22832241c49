#include "ui/controls/static_controls.h"

namespace korvane::ui {

Label::Label(ControlHost& parent, const ControlDesign& design, Wrap wrap)
    : Control(parent, {WC_STATICW, SS_LEFT | WS_GROUP | (wrap == Wrap::Words ? DWORD{0} : DWORD{SS_LEFTNOWORDWRAP})},
              design)
{
}

Frame::Frame(ControlHost& parent, const ControlDesign& design)
    : Control(parent, {WC_BUTTONW, BS_GROUPBOX | WS_GROUP}, design)
{
    Subclass();
}

// The frame is painted here whole: a group box of its own paints neither its inside nor, on some systems,
// the strip above its edge in the frame's colour.
LRESULT Frame::OnOwnMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        const HDC dc = BeginPaint(hwnd, &paint);
        const ScopeExit endPaint([&] { EndPaint(hwnd, &paint); });
        Paint(dc);
        return 0;
    }
    default:
        return CallClassProcedure(hwnd, message, wParam, lParam);
    }
}

void Frame::Paint(HDC dc) const
{
    RECT area;
    GetClientRect(handle(), &area);
    FillRect(dc, &area, backBrush());

    const auto font = SelectForScope(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(handle(), WM_GETFONT, 0, 0)));
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
