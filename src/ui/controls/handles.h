#pragma once
#include <windows.h>
#include <commctrl.h>

#include <utility>

namespace korvane::ui {

// Sole owner of one Win32 handle, released by `Release` when the owner goes or is given another handle.
template <typename Handle, auto Release>
class UniqueGuiHandle {
public:
    UniqueGuiHandle() = default;
    explicit UniqueGuiHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueGuiHandle(UniqueGuiHandle&& other) noexcept : handle_(other.release()) {}
    UniqueGuiHandle& operator=(UniqueGuiHandle&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    UniqueGuiHandle(const UniqueGuiHandle&) = delete;
    UniqueGuiHandle& operator=(const UniqueGuiHandle&) = delete;
    ~UniqueGuiHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    // Gives the handle up without releasing it (for handles the system has already destroyed).
    Handle release() noexcept { return std::exchange(handle_, nullptr); }
    void reset(Handle handle = nullptr) noexcept
    {
        if (handle_ != nullptr) Release(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

inline void DeleteGdiObject(HGDIOBJ object) noexcept { DeleteObject(object); }

using UniqueWindow = UniqueGuiHandle<HWND, &DestroyWindow>;
using UniqueFont = UniqueGuiHandle<HFONT, &DeleteGdiObject>;
using UniqueBrush = UniqueGuiHandle<HBRUSH, &DeleteGdiObject>;
using UniqueIcon = UniqueGuiHandle<HICON, &DestroyIcon>;
using UniqueImageList = UniqueGuiHandle<HIMAGELIST, &ImageList_Destroy>;

}  // namespace korvane::ui
