#pragma once
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/window_handle.h"

namespace korvane {

// How the shell's copy meets items that are already at the destination.
enum class CopyCollision {
    Ask,     // the shell asks the user, item by item
    Rename,  // the copies get new names of their own, without a question
};

struct ShellCopyOutcome {
    // The result the copy of a run reports when the user cancelled it (the system's own "cancelled" number).
    static constexpr int kCancelled = 1223;

    int result = 0;                  // the shell file operation's own result; 0 is success
    bool operationsAborted = false;  // the user cancelled part of the operation
};

// One file of a list copy: the file at `from` becomes the file at `to`.
struct FileCopy {
    std::wstring from;
    std::wstring to;
    bool operator==(const FileCopy&) const = default;
};

class Shell {
public:
    virtual ~Shell() = default;
    // The shell's file copy of `from` (a path or pattern) into `to`, with the shell's own progress window and
    // questions, owned by `owner`. Throws Failure with code 52 (kBadFileName) for a path the shell cannot be
    // given; every other outcome, a failed copy included, is in the result.
    virtual ShellCopyOutcome CopyFiles(WindowHandle owner, const std::wstring& from, const std::wstring& to,
                                       CopyCollision collision) = 0;
    // The shell's copy of every file of `files` to its own target path, in one operation, with the same progress
    // window and questions (items already there are asked about); the folders on the way to each target are
    // created as needed, without a question. Throws and answers as CopyFiles.
    virtual ShellCopyOutcome CopyFileList(WindowHandle owner, const std::vector<FileCopy>& files) = 0;
    // Opens `folder` in the file explorer; a failure is not reported and nothing is thrown.
    virtual void Explore(WindowHandle owner, const std::wstring& folder) = 0;
};

}  // namespace korvane
