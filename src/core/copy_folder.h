#pragma once
#include <string>

#include "platform/shell.h"
#include "platform/window_handle.h"

namespace korvane {

// The shell's copy flag that gives colliding items new names (FOF_RENAMEONCOLLISION).
inline constexpr unsigned kRenameOnCollisionFlag = 0x0008;
// The system's "operation cancelled by the user" error (ERROR_CANCELLED).
inline constexpr int kCopyCancelledResult = 1223;

// Copies `from` (a path or a pattern such as "D:\Photos\*.*") into `to` through the shell, whose progress
// window and questions belong to `owner`. Returns 0 on success, otherwise the shell's own result; a copy the
// user cancelled part-way counts as failed even when the shell itself answers 0.
int CopyFolder(Shell& shell, WindowHandle owner, const std::wstring& from, const std::wstring& to,
               bool renameOnCollision);

}  // namespace korvane
