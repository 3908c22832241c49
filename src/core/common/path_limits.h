#pragma once
#include <cstddef>

namespace korvane {

// The longest path the shell's copy takes: MAX_PATH, 260 characters, with the closing NUL. Past it the copy
// reports success with files missing, writes where nobody asked, or ends the program.
inline constexpr std::size_t kLongestCopyPath = 259;

}  // namespace korvane
