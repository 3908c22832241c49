#pragma once
// Reading past the system's file cache: page-aligned memory, and files opened so that every read goes to the
// device (FILE_FLAG_NO_BUFFERING), at offsets and in sizes that every sector size divides.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/win32/win32_handles.h"

namespace korvane {

// Every sector size divides it: unbuffered reads start at multiples of it and ask for multiples of it.
inline constexpr std::size_t kSectorMultiple = 4096;

inline std::uint64_t RoundUpToSectors(std::uint64_t bytes)
{
    return (bytes + kSectorMultiple - 1) / kSectorMultiple * kSectorMultiple;
}

inline void ReleasePages(void* pages) noexcept { VirtualFree(pages, 0, MEM_RELEASE); }
using UniquePages = UniqueHandle<void*, &ReleasePages>;

// Page-aligned memory (VirtualAlloc), as unbuffered reads need it. Throws Failure when there is none.
UniquePages AllocatePages(std::size_t bytes);

// A file opened for unbuffered sequential reading, with what the system says of it, or the reason it could not
// be opened. Other programs may go on reading and writing it: a file held open by a photo manager is still read,
// and one that changes meanwhile shows as such.
struct UnbufferedFile {
    UniqueFileHandle handle;
    DWORD attributes = 0;
    FILETIME lastWrite{};
    std::uint64_t size = 0;
    DWORD error = 0;  // when `handle` is not valid
};

UnbufferedFile OpenUnbuffered(const std::wstring& path);

}  // namespace korvane
