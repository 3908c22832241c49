#include "core/copy_folder.h"

namespace korvane {

int CopyFolder(Shell& shell, WindowHandle owner, const std::wstring& from, const std::wstring& to,
               bool renameOnCollision)
{
    const ShellCopyOutcome outcome =
        shell.CopyFiles(owner, from, to, renameOnCollision ? CopyCollision::Rename : CopyCollision::Ask);
    // The shell may answer 0 for a copy the user cancelled part-way; its aborted flag is the reliable signal.
    if (outcome.result == 0 && outcome.operationsAborted) return ShellCopyOutcome::kCancelled;
    return outcome.result;
}

}  // namespace korvane
