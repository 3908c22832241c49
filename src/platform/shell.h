#pragma once
#include <string>

#include "platform/window_handle.h"

namespace korvane {

struct ShellCopyOutcome {
    int result = 0;             // the shell file operation's own result; 0 is success
    bool operationsAborted = false;  // the user cancelled part of the operation
};

class Shell {
public:
    virtual ~Shell() = default;
    // The shell's file copy of `from` (a path or pattern) into `to`, with the shell's own progress window and
    // questions, owned by `owner`. `flags` is the shell's FOF_* flag word.
    virtual ShellCopyOutcome CopyFiles(WindowHandle owner, const std::wstring& from, const std::wstring& to,
                                       unsigned flags) = 0;
    // Opens `folder` in the file explorer; a failure is not reported.
    virtual void Explore(WindowHandle owner, const std::wstring& folder) = 0;
};

}  // namespace korvane
