#pragma once
#include <cstddef>

namespace korvane {

// The longest file path the shell's copy takes: MAX_PATH, 260 characters, with the closing NUL. Past it the copy
// reports success with files missing, writes where nobody asked, or ends the program.
inline constexpr std::size_t kLongestFilePath = 259;

// The longest folder path the system creates without the "\\?\" prefix: MAX_PATH less the 12 characters an 8.3
// file name needs below it (the limit CreateDirectoryW documents). The shell's copy cannot make a longer one.
inline constexpr std::size_t kLongestFolderPath = 248;

}  // namespace korvane
