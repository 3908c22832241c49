#pragma once
#include <windows.h>

#include <string>

namespace korvane {

inline constexpr wchar_t kExtendedPrefix[] = L"\\\\?\\";

// Whether `error` says that no file or folder is at a path (or that a folder on its way is missing).
inline bool IsMissing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// The path as the system should get it: unchanged when it fits MAX_PATH, otherwise absolute with the
// extended-length prefix (which turns off the system's own normalising, hence the full path first).
// Throws Failure when the system cannot make the path absolute.
std::wstring SystemPath(const std::wstring& path);

}  // namespace korvane
