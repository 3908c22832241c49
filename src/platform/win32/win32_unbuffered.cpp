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
    if (!file.handle || !GetFileInformationByHandle(file.handle.get(), &file.information)) {
        file.error = GetLastError();
        file.handle.reset();
    }
    return file;
}

}  // namespace korvane
