#include "core/copy/copy_folder.h"

#include "core/common/path_text.h"

namespace korvane {
namespace {

// The shell may answer 0 for a copy the user cancelled part-way; its aborted flag is the reliable signal.
int RunResult(const ShellCopyOutcome& outcome)
{
    if (outcome.result == 0 && outcome.operationsAborted) return ShellCopyOutcome::kCancelled;
    return outcome.result;
}

}  // namespace

int CopyFolder(Shell& shell, WindowHandle owner, const std::wstring& from, const std::wstring& to,
               bool renameOnCollision)
{
    return RunResult(
        shell.CopyFiles(owner, from, to, renameOnCollision ? CopyCollision::Rename : CopyCollision::Ask));
}

int CopyFilesBelow(Shell& shell, WindowHandle owner, const std::wstring& sourceFolder, const std::wstring& targetFolder,
                   const std::vector<std::wstring>& relativePaths)
{
    std::vector<FileCopy> files;
    files.reserve(relativePaths.size());
    for (const std::wstring& path : relativePaths)
        files.push_back({JoinPath(sourceFolder, path), JoinPath(targetFolder, path)});
    return RunResult(shell.CopyFileList(owner, files));
}

}  // namespace korvane
