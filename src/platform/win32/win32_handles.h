#pragma once
// The one owner of Win32 handles, for kernel objects as for the user interface's: it releases its handle once,
// when it goes out of scope or is given another. And the one guard of a call that must be undone at the end of
// a scope, where the undoing needs more than one handle.
#include <windows.h>

#include <cstdint>
#include <utility>

namespace korvane {

// `Release` frees a handle of type `H`; `NoHandle` is the value that means "no handle" (0 for most handles,
// -1 for those that use INVALID_HANDLE_VALUE), given as an integer because a pointer constant cannot be.
template <typename H, auto Release, std::intptr_t NoHandle = 0>
class UniqueHandle {
public:
    using Handle = H;

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

    static Handle none() noexcept { return reinterpret_cast<Handle>(NoHandle); }
    Handle get() const noexcept { return handle_; }
    bool valid() const noexcept { return handle_ != none(); }
    explicit operator bool() const noexcept { return valid(); }
    // Gives the handle up without releasing it (for handles the system has already destroyed).
    Handle release() noexcept { return std::exchange(handle_, none()); }
    void reset(Handle handle = none()) noexcept
    {
        if (valid()) Release(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = none();
};

// Runs `undo` when the scope ends, as WIL's scope_exit: `const ScopeExit restore([&] { SelectObject(dc, old); });`.
template <typename Undo>
class [[nodiscard]] ScopeExit {
public:
    explicit ScopeExit(Undo undo) noexcept : undo_(std::move(undo)) {}
    ~ScopeExit() { undo_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    Undo undo_;
};

inline constexpr std::intptr_t kInvalidHandleValue = -1;  // INVALID_HANDLE_VALUE

using UniqueFileHandle = UniqueHandle<HANDLE, &CloseHandle, kInvalidHandleValue>;  // CreateFileW
using UniqueFindHandle = UniqueHandle<HANDLE, &FindClose, kInvalidHandleValue>;    // FindFirstFileExW

}  // namespace korvane
