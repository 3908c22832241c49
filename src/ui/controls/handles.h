#pragma once
// Owners of the user interface's handles and scoped pairs of calls that must be undone.
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

// Selects a GDI object into a device context for the length of a scope.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelection() { SelectObject(dc_, previous_); }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The device context of a window (or, for nullptr, of the screen), from GetDC to ReleaseDC.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd) noexcept : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDC() { ReleaseDC(hwnd_, dc_); }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// The painting of a window in answer to WM_PAINT, from BeginPaint to EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) noexcept : hwnd_(hwnd), dc_(BeginPaint(hwnd, &paint_)) {}
    ~PaintScope() { EndPaint(hwnd_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC get() const noexcept { return dc_; }

private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// COM for the length of a scope, in the single-threaded apartment that the shell's dialogs need.
class ComApartment {
public:
    ComApartment() noexcept : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    HRESULT result() const noexcept { return result_; }

private:
    HRESULT result_;
};

}  // namespace korvane::ui
