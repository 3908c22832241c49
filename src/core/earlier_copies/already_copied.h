#pragma once
// The copy run's look for files copied already (option SkipCopied): a card put in twice is not copied twice.
#include <cstddef>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "core/common/services.h"
#include "core/plan/copy_plan.h"
#include "platform/file_system.h"
#include "platform/window_handle.h"

namespace korvane {

// Whether `earlierFile`, at the same relative path, is a copy of `sourceFile`: the same size, and last-write times
// within 2 seconds (FAT keeps them in 2-second steps) or one hour apart within those 2 seconds (FAT keeps local
// time, so a change to or from daylight saving moves every time by an hour). No content is read.
bool IsCopyOf(const PlannedFile& sourceFile, const TreeEntry& earlierFile);

// What the look for earlier copies found.
struct EarlierCopies {
    std::vector<std::wstring> newFiles;           // relative paths of the source's files that no folder holds
    std::size_t copiedFiles = 0;                  // the source's files that a folder holds
    std::vector<std::wstring> holdingFolders;     // the folders that hold at least one of them, sorted
    std::vector<std::wstring> unreadableFolders;  // folders under the destination that could not be listed
};

// Looks for every file of the listed `card` (all depths) in each folder directly under `destination` (each an
// earlier run's new folder), at the same path relative to it; names compare without regard to ASCII case. Nothing
// when the card cannot be checked file by file (it or a folder in it could not be listed, or a path in it is
// longer than the shell's copy takes) or when `stop` was asked for. A folder under the destination that cannot be
// listed is skipped and named. Reads only the destination's listings: the card's is the plan's.
std::optional<EarlierCopies> FindEarlierCopies(const FileSystem& files, const CopyPlan& card,
                                               const std::wstring& destination, std::stop_token stop);

// Which of the source's files a run copies.
struct FilesToCopy {
    // The relative paths of the files to copy, each to the same path below the new folder; nothing for the whole
    // source folder.
    std::optional<std::vector<std::wstring>> only;
    std::size_t leftOut = 0;  // files left out as copied already
};

// The check of a run: looks for earlier copies while the user waits (Esc stops it), then asks, with `owner`'s
// boxes, whether to copy again what is all copied (No ends the run) or only the new files of what is partly
// copied (Yes: only those; No: everything; Cancel ends the run). Nothing when the run is to end without a copy.
std::optional<FilesToCopy> ChooseFilesToCopy(const Services& services, WindowHandle owner, const CopyPlan& card,
                                             const std::wstring& destination);

// The completion message's line for files left out, empty when none was.
std::wstring LeftOutLine(const FilesToCopy& files);

}  // namespace korvane
