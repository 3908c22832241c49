#pragma once
#include <cstdint>
#include <stop_token>
#include <string>
#include <vector>

#include "core/services.h"
#include "platform/file_comparer.h"
#include "platform/file_system.h"
#include "platform/long_work.h"
#include "platform/window_handle.h"

namespace korvane {

// A file to compare with its copy: its path below the copied folder and its size when it was listed.
struct VerifyItem {
    std::wstring relativePath;
    std::uint64_t size = 0;
    bool operator==(const VerifyItem&) const = default;
};

// Every ordinary file of a listing, in its order (folders left out).
std::vector<VerifyItem> FilesOf(const TreeListing& listing);

// Which files of `original` to compare with those at the same paths below `copy`.
struct VerifyPlan {
    std::wstring original;  // the copied folder
    std::wstring copy;      // the folder the copy made
    std::vector<VerifyItem> files;
    std::uint64_t totalBytes = 0;
};

VerifyPlan PlanVerification(const std::wstring& original, const std::wstring& copy, std::vector<VerifyItem> files);

struct VerifyProblem {
    std::wstring relativePath;
    FileComparison comparison;
    bool operator==(const VerifyProblem&) const = default;
};

struct VerifyOutcome {
    std::size_t fileCount = 0;      // in the plan
    std::uint64_t totalBytes = 0;   // in the plan
    std::size_t filesCompared = 0;    // equal or not
    std::uint64_t bytesCompared = 0;  // of the files compared, and of the one a cancel interrupted
    std::vector<VerifyProblem> problems;  // in the plan's order
    bool cancelled = false;               // stopped before every file was compared
};

// The plan's pairs compared through `comparer`, each pair's outcome gathered; `progress` hears of the file
// being compared and the bytes done, counting a file that differs early as wholly done.
VerifyOutcome RunVerification(const VerifyPlan& plan, FileComparer& comparer, WorkProgress& progress,
                              std::stop_token stop);

// The pass as the user sees it: `plan` run off the user-interface thread behind a progress window owned by
// `owner`, with its Cancel button.
VerifyOutcome VerifyCopy(const Services& services, WindowHandle owner, const VerifyPlan& plan);

}  // namespace korvane
