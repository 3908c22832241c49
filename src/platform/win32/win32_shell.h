#pragma once
#include "platform/shell.h"

namespace korvane {

// The Windows shell: SHFileOperationW for copies, ShellExecuteW with the verb "explore" for folders.
class Win32Shell : public Shell {
public:
    // A path holding a NUL, which would split the shell's list, is the bad file name.
    ShellCopyOutcome CopyFiles(WindowHandle owner, const std::wstring& from, const std::wstring& to,
                               CopyCollision collision) override;
    ShellCopyOutcome CopyFileList(WindowHandle owner, const std::vector<FileCopy>& files) override;
    void Explore(WindowHandle owner, const std::wstring& folder) override;
};

}  // namespace korvane
