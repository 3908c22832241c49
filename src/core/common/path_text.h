#pragma once
#include <string>

namespace korvane {

// Makes `path` end in one backslash before a name is appended; also returns the result.
std::wstring AddLastBackslash(std::wstring& path);
// Drops one trailing backslash (only one) if there is one; also returns the result.
std::wstring RemoveLastBackslash(std::wstring& path);
// `name` below `folder`, joined by one backslash whether or not `folder` ends in one ("F:\" and "a" give "F:\a").
std::wstring JoinPath(std::wstring folder, const std::wstring& name);

}  // namespace korvane
