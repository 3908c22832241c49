#include "core/plan/copy_plan.h"

#include "core/common/path_text.h"
#include "platform/failure.h"

namespace korvane {

std::wstring CopyPlan::SourcePath(const std::wstring& relativePath) const { return JoinPath(source, relativePath); }

std::wstring CopyPlan::TargetPath(const std::wstring& relativePath) const { return JoinPath(target, relativePath); }

std::optional<CopyPlan> ListCard(const FileSystem& files, const std::wstring& source, std::stop_token stop)
{
    CopyPlan plan;
    plan.source = source;
    TreeListing listing;
    try {
        listing = files.ListTree(source, stop);
    } catch (const Failure& failure) {
        plan.listingFailure = failure.reason();
    }
    if (stop.stop_requested()) return std::nullopt;
    for (TreeEntry& entry : listing.entries) {
        if (entry.isFolder) {
            plan.folders.push_back(std::move(entry.relativePath));
        } else {
            plan.files.push_back({std::move(entry.relativePath), entry.size, entry.lastWriteTime});
        }
    }
    plan.unreadableFolders = std::move(listing.unreadableFolders);
    return plan;
}

std::optional<CopyPlan> ListCardWhileWaiting(const Services& services, WindowHandle owner, const std::wstring& source)
{
    std::optional<CopyPlan> plan;
    const bool finished = services.dialogs.WaitFor(
        owner, [&](std::stop_token stop) { plan = ListCard(services.fileSystem, source, stop); });
    if (!finished) return std::nullopt;
    return plan;
}

}  // namespace korvane
