#include "core/common/path_text.h"

namespace korvane {

std::wstring AddLastBackslash(std::wstring& path)
{
    if (path.empty() || path.back() != L'\\') path.push_back(L'\\');
    return path;
}

std::wstring RemoveLastBackslash(std::wstring& path)
{
    if (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

std::wstring JoinPath(std::wstring folder, const std::wstring& name)
{
    return RemoveLastBackslash(folder) + L"\\" + name;
}

}  // namespace korvane
