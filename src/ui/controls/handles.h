#pragma once
// Owners of the user interface's handles, and the scoped pairs of calls it needs more than once.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "platform/win32/win32_handles.h"

namespace korvane::ui {

inline void DeleteGdiObject(HGDIOBJ object) noexcept { DeleteObject(object); }

using UniqueWindow = UniqueHandle<HWND, &DestroyWindow>;
using UniqueFont = UniqueHandle<HFONT, &DeleteGdiObject>;
using UniqueBrush = UniqueHandle<HBRUSH, &DeleteGdiObject>;
using UniqueBitmap = UniqueHandle<HBITMAP, &DeleteGdiObject>;
using UniqueIcon = UniqueHandle<HICON, &DestroyIcon>;
using UniqueImageList = UniqueHandle<HIMAGELIST, &ImageList_Destroy>;
using UniqueCoTaskMemString = UniqueHandle<PWSTR, &CoTaskMemFree>;

inline void ReleaseScreenDC(HDC dc) noexcept { ReleaseDC(nullptr, dc); }
inline void EnableWindowAgain(HWND hwnd) noexcept { EnableWindow(hwnd, TRUE); }

// The screen's device context, from GetDC(nullptr) to ReleaseDC.
using UniqueScreenDC = UniqueHandle<HDC, &ReleaseScreenDC>;
// A window disabled by its holder (a modal window's owner), enabled again when the holder lets it go.
using DisabledWindow = UniqueHandle<HWND, &EnableWindowAgain>;

// Selects a GDI object into a device context until the returned guard goes out of scope.
[[nodiscard]] inline auto SelectForScope(HDC dc, HGDIOBJ object) noexcept
{
    return ScopeExit([dc, previous = SelectObject(dc, object)] { SelectObject(dc, previous); });
}

}  // namespace korvane::ui
