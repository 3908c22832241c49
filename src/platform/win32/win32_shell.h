#pragma once
#include "platform/shell.h"

namespace korvane {

// The Windows shell: SHFileOperationW for copies, ShellExecuteW with the verb "explore" for folders.
class Win32Shell : public Shell {
public:
    // Throws Failure with the bad-file-name code when a path holds a NUL, which would split the shell's list.
    ShellCopyOutcome CopyFiles(WindowHandle owner, const std::wstring& from, const std::wstring& to,
                               unsigned flags) override;
    void Explore(WindowHandle owner, const std::wstring& folder) override;
};

}  // namespace korvane
