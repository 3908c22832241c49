#pragma once
#include <string>

namespace korvane {

// Makes `path` end in one backslash before a name is appended; also returns the result.
std::wstring AddLastBackslash(std::wstring& path);
// Drops one trailing backslash (only one) if there is one; also returns the result.
std::wstring RemoveLastBackslash(std::wstring& path);

}  // namespace korvane
