#pragma once
// What a verification compares and what it found: the data its pass, its texts and the copy run share.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_comparer.h"

namespace korvane {

// A file to compare with its copy: its path below the copied folder and its size when it was listed.
struct VerifyItem {
    std::wstring relativePath;
    std::uint64_t size = 0;
    bool operator==(const VerifyItem&) const = default;
};

// Which files of `original` to compare with those at the same paths below `copy`.
struct VerifyPlan {
    std::wstring original;  // the copied folder
    std::wstring copy;      // the folder the copy made
    std::vector<VerifyItem> files;
    std::uint64_t totalBytes = 0;
};

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

}  // namespace korvane
