#pragma once
#include <windows.h>
#include <commctrl.h>

#include "platform/win32/win32_handles.h"

namespace korvane::ui {

// Handles of the user interface, whose "no handle" value is null.
template <typename H, auto Release>
struct GuiHandleTraits {
    using Handle = H;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle handle) noexcept { Release(handle); }
};

inline void DeleteGdiObject(HGDIOBJ object) noexcept { DeleteObject(object); }

using UniqueWindow = UniqueHandle<GuiHandleTraits<HWND, &DestroyWindow>>;
using UniqueFont = UniqueHandle<GuiHandleTraits<HFONT, &DeleteGdiObject>>;
using UniqueBrush = UniqueHandle<GuiHandleTraits<HBRUSH, &DeleteGdiObject>>;
using UniqueIcon = UniqueHandle<GuiHandleTraits<HICON, &DestroyIcon>>;
using UniqueImageList = UniqueHandle<GuiHandleTraits<HIMAGELIST, &ImageList_Destroy>>;

}  // namespace korvane::ui
