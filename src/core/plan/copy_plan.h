#pragma once
// The copy run's one listing of the card. It is made once, after the card's folder was found and before anything
// is copied; every later step of the run reads it instead of listing the card again: the path check, the look for
// earlier copies, the copy and the verification.
#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "core/common/services.h"
#include "platform/file_system.h"
#include "platform/window_handle.h"

namespace korvane {

// One file of the card, as it was listed.
struct PlannedFile {
    std::wstring relativePath;       // below the card's folder, its names joined by "\"
    std::uint64_t size = 0;          // in bytes
    std::int64_t lastWriteTime = 0;  // in 100-nanosecond steps since 1601-01-01 UTC, as the system keeps it
    bool operator==(const PlannedFile&) const = default;
};

// What one run copies: every file and folder below the card's folder, and the new folder they go to, each at the
// same relative path below it.
struct CopyPlan {
    std::wstring source;  // the card's folder, as the user chose it
    std::wstring target;  // the new folder below the destination; empty until the user has named it

    std::vector<std::wstring> folders;  // relative paths of every folder below `source`, each before its contents
    std::vector<PlannedFile> files;     // every file below `source`, hidden and system ones too, in listing order

    std::vector<std::wstring> unreadableFolders;  // relative paths of folders below `source` that could not be listed
    std::optional<std::wstring> listingFailure;   // the system's reason (maybe empty) when `source` could not be listed

    // Whether every file of the card is in the plan: the card was listed, every folder of it too.
    bool Complete() const { return !listingFailure && unreadableFolders.empty(); }
    // The path of `relativePath` on the card and in the new folder.
    std::wstring SourcePath(const std::wstring& relativePath) const;
    std::wstring TargetPath(const std::wstring& relativePath) const;
};

// The plan of the card's folder `source`, listed through `files` (target empty). A folder that cannot be listed
// at all gives a plan without entries that says why. Nothing when `stop` was asked for.
std::optional<CopyPlan> ListCard(const FileSystem& files, const std::wstring& source, std::stop_token stop);

// ListCard while the user waits on `owner` (the wait cursor; Esc stops it). Nothing when Esc ended the wait.
std::optional<CopyPlan> ListCardWhileWaiting(const Services& services, WindowHandle owner, const std::wstring& source);

}  // namespace korvane
