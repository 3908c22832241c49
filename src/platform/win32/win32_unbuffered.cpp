#include "platform/win32/win32_unbuffered.h"

#include "platform/failure.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_paths.h"

namespace korvane {

UniquePages AllocatePages(std::size_t bytes)
{
    UniquePages pages(VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!pages) ThrowLastError();
    return pages;
}

UnbufferedFile OpenUnbuffered(const std::wstring& path)
{
    UnbufferedFile file;
    try {
        file.handle = UniqueFileHandle(CreateFileW(SystemPath(path).c_str(), GENERIC_READ,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                   OPEN_EXISTING, FILE_FLAG_NO_BUFFERING | FILE_FLAG_SEQUENTIAL_SCAN,
                                                   nullptr));
    } catch (const Failure&) {
        file.error = ERROR_BAD_PATHNAME;
        return file;
    }
    // Not GetFileInformationByHandle: its volume serial number costs a request to Wine's mount manager, which
    // took about as long as copying a file of a megabyte from the cache.
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    if (!file.handle ||
        !GetFileInformationByHandleEx(file.handle.get(), FileBasicInfo, &basic, sizeof basic) ||
        !GetFileInformationByHandleEx(file.handle.get(), FileStandardInfo, &standard, sizeof standard)) {
        file.error = GetLastError();
        file.handle.reset();
        return file;
    }
    file.attributes = basic.FileAttributes;
    file.lastWrite = {static_cast<DWORD>(basic.LastWriteTime.LowPart), static_cast<DWORD>(basic.LastWriteTime.HighPart)};
    file.size = static_cast<std::uint64_t>(standard.EndOfFile.QuadPart);
    return file;
}

}  // namespace korvane
