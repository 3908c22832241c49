#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/failure.h"

namespace korvane {
namespace {

// The shell's path lists are a run of NUL-terminated entries closed by an empty one; this is a list of one.
std::wstring OneEntryList(const std::wstring& path)
{
    if (path.find(L'\0') != std::wstring::npos) throw Failure(failure_code::kBadFileName);
    std::wstring list = path;
    list.append(2, L'\0');
    return list;
}

FILEOP_FLAGS CopyFlags(CopyCollision collision)
{
    return collision == CopyCollision::Rename ? FOF_RENAMEONCOLLISION : 0;
}

}  // namespace

ShellCopyOutcome Win32Shell::CopyFiles(WindowHandle owner, const std::wstring& from, const std::wstring& to,
                                       CopyCollision collision)
{
    const std::wstring fromList = OneEntryList(from);
    const std::wstring toList = OneEntryList(to);
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = static_cast<HWND>(owner);
    operation.wFunc = FO_COPY;
    operation.pFrom = fromList.c_str();
    operation.pTo = toList.c_str();
    operation.fFlags = CopyFlags(collision);
    const int result = SHFileOperationW(&operation);
    return {result, operation.fAnyOperationsAborted != FALSE};
}

void Win32Shell::Explore(WindowHandle owner, const std::wstring& folder)
{
    ShellExecuteW(static_cast<HWND>(owner), L"explore", folder.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL);
}

}  // namespace korvane
