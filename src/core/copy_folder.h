#pragma once
#include <string>

#include "platform/shell.h"
#include "platform/window_handle.h"

namespace korvane {

// Copies `from` (a path or a pattern such as "D:\Photos\*.*") into `to` through the shell, whose progress
// window and questions belong to `owner`. Returns 0 on success, otherwise the shell's own result; a copy the
// user cancelled part-way counts as failed (ShellCopyOutcome::kCancelled) even when the shell itself answers 0.
// Throws what Shell::CopyFiles throws.
int CopyFolder(Shell& shell, WindowHandle owner, const std::wstring& from, const std::wstring& to,
               bool renameOnCollision);

}  // namespace korvane
