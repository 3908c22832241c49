#include "platform/win32/win32_paths.h"

#include "platform/win32/win32_errors.h"

namespace korvane {

std::wstring SystemPath(const std::wstring& path)
{
    if (path.size() < MAX_PATH - 12 || path.starts_with(kExtendedPrefix)) return path;  // 12: room for "\*.*"
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) ThrowLastError();
    std::wstring full(needed, L'\0');
    full.resize(GetFullPathNameW(path.c_str(), needed, full.data(), nullptr));
    if (full.starts_with(L"\\\\")) return std::wstring(kExtendedPrefix) + L"UNC" + full.substr(1);
    return kExtendedPrefix + full;
}

}  // namespace korvane
