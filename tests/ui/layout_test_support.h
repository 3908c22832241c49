#pragma once
// What the window tests read of a window's layout as a user meets it: which control a click reaches, the colour
// painted at a point, the font, where controls stand and whether they cover each other, at any dpi.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "ui/controls/handles.h"
#include "ui/controls/window.h"

namespace korvane::testing {

// The visible control a click at a point of the window's client area (in pixels) would reach, the topmost one
// there, or the window itself.
inline HWND ControlAt(const ui::Window& w, POINT pixel)
{
    return ChildWindowFromPointEx(w.handle(), pixel, CWP_SKIPINVISIBLE);
}

// The colour the window and its controls have painted at a point of its client area (in pixels).
inline COLORREF PaintedColourAt(const ui::Window& w, POINT pixel)
{
    RedrawWindow(w.handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Not GetDC: the window clips its children out of its own device context.
    const HDC dc = GetDCEx(w.handle(), nullptr, DCX_CACHE);
    const ScopeExit release([&] { ReleaseDC(w.handle(), dc); });
    return GetPixel(dc, pixel.x, pixel.y);
}

// Shows the window at 96, 144 and 192 dpi in turn, as the system moves it to monitors of those scales, and runs
// `check` at each with the window's client area, which must have scaled with the dpi from the one it opened at.
inline void AtEveryDpi(const ui::Window& w, const std::function<void(unsigned dpi, const RECT& client)>& check)
{
    RECT opened;
    GetClientRect(w.handle(), &opened);
    const unsigned openedDpi = w.Dpi();
    for (const unsigned dpi : {96u, 144u, 192u}) {
        SCOPED_TRACE(::testing::Message() << "at " << dpi << " dpi");
        RECT suggested{0, 0, 0, 0};
        SendMessageW(w.handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        ASSERT_EQ(w.Dpi(), dpi);
        RECT client;
        GetClientRect(w.handle(), &client);
        EXPECT_NEAR(client.right, MulDiv(opened.right, dpi, openedDpi), 1);
        EXPECT_NEAR(client.bottom, MulDiv(opened.bottom, dpi, openedDpi), 1);
        check(dpi, client);
    }
}

// The height of the system's message font at `dpi`, which every control should be given.
inline LONG MessageFontHeight(unsigned dpi)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi);
    return metrics.lfMessageFont.lfHeight;
}

inline LONG FontHeightOf(HWND control)
{
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font.lfHeight;
}

// The height of a line of a control's text in its font.
inline int LineHeightOf(HWND control)
{
    const HDC dc = GetDC(control);
    const ScopeExit release([&] { ReleaseDC(control, dc); });
    const auto font = ui::SelectForScope(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    return metrics.tmHeight;
}

// The window's own controls (its direct children), in z-order.
inline std::vector<HWND> ChildControls(HWND window)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

inline POINT Centre(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

inline bool Contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// How far two rectangles reach into each other: the narrower side of their common part (0 when they only meet
// or are apart).
inline int OverlapDepth(const RECT& a, const RECT& b)
{
    const int width = std::min(a.right, b.right) - std::max(a.left, b.left);
    const int height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return std::max(0, std::min(width, height));
}

// A control's caption (or class, when it has none) in UTF-8, and its handle, to name it in a failure.
inline std::string NameOf(HWND control)
{
    wchar_t text[128] = {};
    if (GetWindowTextW(control, text, 128) == 0) GetClassNameW(control, text, 128);
    char utf8[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof(utf8), nullptr, nullptr);
    return std::string(utf8) + " (" + ::testing::PrintToString(control) + ")";
}

// The window has a caption, a close box and the program's icon, no minimise or maximise box and no sizing
// border, and stands in the middle of its monitor's work area.
inline void ExpectFixedWindowInTheMiddle(const ui::Window& w, const std::wstring& caption)
{
    const LONG style = GetWindowLongW(w.handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_EQ(w.Dpi(), GetDpiForSystem());
    EXPECT_NE(SendMessageW(w.handle(), WM_GETICON, ICON_SMALL, 0), 0);

    wchar_t shown[64] = {};
    GetWindowTextW(w.handle(), shown, 64);
    EXPECT_EQ(shown, caption);

    RECT window;
    GetWindowRect(w.handle(), &window);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(w.handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_LE(std::abs((window.left + window.right) - (monitor.rcWork.left + monitor.rcWork.right)), 1);
    EXPECT_LE(std::abs((window.top + window.bottom) - (monitor.rcWork.top + monitor.rcWork.bottom)), 1);
}

}  // namespace korvane::testing
