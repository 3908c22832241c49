#include "core/plan/path_check.h"

#include "core/common/path_limits.h"

namespace korvane {
namespace {

// The card's and the new folder's path of one entry, checked against the entry's limit.
std::optional<PathTooLong> CheckEntry(const CopyPlan& plan, const std::wstring& relativePath, std::size_t limit)
{
    if (std::wstring onCard = plan.SourcePath(relativePath); onCard.size() > limit)
        return PathTooLong{std::move(onCard), limit, true};
    if (std::wstring created = plan.TargetPath(relativePath); created.size() > limit)
        return PathTooLong{std::move(created), limit, false};
    return std::nullopt;
}

}  // namespace

std::optional<PathTooLong> FirstPathTooLong(const CopyPlan& plan)
{
    if (plan.target.size() > kLongestFolderPath) return PathTooLong{plan.target, kLongestFolderPath, false};
    for (const std::wstring& folder : plan.folders) {
        if (auto tooLong = CheckEntry(plan, folder, kLongestFolderPath)) return tooLong;
    }
    for (const PlannedFile& file : plan.files) {
        if (auto tooLong = CheckEntry(plan, file.relativePath, kLongestFilePath)) return tooLong;
    }
    return std::nullopt;
}

}  // namespace korvane
