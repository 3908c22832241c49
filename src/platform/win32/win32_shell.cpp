#include "platform/win32/win32_shell.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/failure.h"

namespace korvane {
namespace {

// The shell's path lists are a run of NUL-terminated entries closed by an empty one.
void AppendEntry(std::wstring& list, const std::wstring& path)
{
    if (path.find(L'\0') != std::wstring::npos) throw Failure(failure_code::kBadFileName);
    list += path;
    list.push_back(L'\0');
}

std::wstring OneEntryList(const std::wstring& path)
{
    std::wstring list;
    AppendEntry(list, path);
    list.push_back(L'\0');
    return list;
}

FILEOP_FLAGS CopyFlags(CopyCollision collision)
{
    return collision == CopyCollision::Rename ? FOF_RENAMEONCOLLISION : 0;
}

ShellCopyOutcome RunCopy(WindowHandle owner, const std::wstring& fromList, const std::wstring& toList,
                         FILEOP_FLAGS flags)
{
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = static_cast<HWND>(owner);
    operation.wFunc = FO_COPY;
    operation.pFrom = fromList.c_str();
    operation.pTo = toList.c_str();
    operation.fFlags = flags;
    const int result = SHFileOperationW(&operation);
    return {result, operation.fAnyOperationsAborted != FALSE};
}

}  // namespace

ShellCopyOutcome Win32Shell::CopyFiles(WindowHandle owner, const std::wstring& from, const std::wstring& to,
                                       CopyCollision collision)
{
    return RunCopy(owner, OneEntryList(from), OneEntryList(to), CopyFlags(collision));
}

ShellCopyOutcome Win32Shell::CopyFileList(WindowHandle owner, const std::vector<FileCopy>& files)
{
    std::wstring fromList;
    std::wstring toList;
    for (const FileCopy& file : files) {
        AppendEntry(fromList, file.from);
        AppendEntry(toList, file.to);
    }
    fromList.push_back(L'\0');
    toList.push_back(L'\0');
    // One target per source; the shell makes the folders on the way (Windows and Wine alike), and would otherwise
    // ask before each one.
    return RunCopy(owner, fromList, toList, FOF_MULTIDESTFILES | FOF_NOCONFIRMMKDIR);
}

void Win32Shell::Explore(WindowHandle owner, const std::wstring& folder)
{
    ShellExecuteW(static_cast<HWND>(owner), L"explore", folder.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL);
}

}  // namespace korvane
