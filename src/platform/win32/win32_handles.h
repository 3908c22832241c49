#pragma once
// Sole owners of Win32 handles: each releases its handle once, when it goes out of scope or is given another.
#include <windows.h>

#include <utility>

namespace korvane {

// Traits name the handle type, its "no handle" value and how it is released.
template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    bool valid() const noexcept { return handle_ != Traits::Invalid(); }
    explicit operator bool() const noexcept { return valid(); }
    // Gives the handle up without releasing it (for handles the system has already destroyed).
    Handle release() noexcept { return std::exchange(handle_, Traits::Invalid()); }
    void reset(Handle handle = Traits::Invalid()) noexcept
    {
        if (valid()) Traits::Close(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Traits::Invalid();
};

// Kernel handles whose "no handle" value is INVALID_HANDLE_VALUE.
template <BOOL(WINAPI* CloseFunction)(HANDLE)>
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) noexcept { CloseFunction(handle); }
};

using UniqueFileHandle = UniqueHandle<KernelHandleTraits<&CloseHandle>>;  // CreateFileW
using UniqueFindHandle = UniqueHandle<KernelHandleTraits<&FindClose>>;    // FindFirstFileExW

}  // namespace korvane
