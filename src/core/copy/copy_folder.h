#pragma once
#include <string>
#include <vector>

#include "platform/shell.h"
#include "platform/window_handle.h"

namespace korvane {

// Copies `from` (a path or a pattern such as "D:\Photos\*.*") into `to` through the shell, whose progress
// window and questions belong to `owner`. Returns 0 on success, otherwise the shell's own result; a copy the
// user cancelled part-way counts as failed (ShellCopyOutcome::kCancelled) even when the shell itself answers 0.
// Throws what Shell::CopyFiles throws.
int CopyFolder(Shell& shell, WindowHandle owner, const std::wstring& from, const std::wstring& to,
               bool renameOnCollision);

// Copies each file of `relativePaths` below `sourceFolder` to the same path below `targetFolder`, the folders on
// the way made as needed, through the shell in one operation whose windows belong to `owner`. Items already there
// are asked about. Answers and throws as CopyFolder.
int CopyFilesBelow(Shell& shell, WindowHandle owner, const std::wstring& sourceFolder, const std::wstring& targetFolder,
                   const std::vector<std::wstring>& relativePaths);

}  // namespace korvane
