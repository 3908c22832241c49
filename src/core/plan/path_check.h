#pragma once
// The check before a copy that every path it reads and creates fits what the shell's copy takes.
#include <cstddef>
#include <optional>
#include <string>

#include "core/plan/copy_plan.h"

namespace korvane {

// A path of the plan that is too long, and the limit it passes.
struct PathTooLong {
    std::wstring path;
    std::size_t limit = 0;  // kLongestFolderPath or kLongestFilePath
    bool onCard = false;    // a path of the card; otherwise one the copy would create
    bool operator==(const PathTooLong&) const = default;
};

// The first path of `plan` past its limit (248 characters for a folder, 259 for a file): the new folder, then each
// folder of the card, on the card and in the new folder, then each file likewise. Nothing when all fit. What the
// plan could not list is not checked: the shell reports it as it copies.
std::optional<PathTooLong> FirstPathTooLong(const CopyPlan& plan);

}  // namespace korvane
