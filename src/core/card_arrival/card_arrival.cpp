#include "core/card_arrival/card_arrival.h"

#include "platform/failure.h"

namespace korvane {
namespace {

// The drive of a path such as "E:\DCIM" (either letter case); nothing for a network or relative path.
DriveMask DriveOf(const std::wstring& path)
{
    if (path.size() < 2 || path[1] != L':') return 0;
    const wchar_t letter = path[0] & ~0x20;  // upper case
    return letter >= L'A' && letter <= L'Z' ? DriveMask{1} << (letter - L'A') : 0;
}

bool FolderIsThere(const FileSystem& fileSystem, const std::wstring& path)
{
    try {
        return fileSystem.Lookup(path, LookupKind::FilesAndFolders).has_value();
    } catch (const Failure&) {
        return false;  // a drive still settling is not a candidate
    }
}

}  // namespace

std::optional<std::size_t> SlotOnArrivedDrives(const SettingsStore& settings, DriveMask arrived,
                                               const FileSystem& fileSystem)
{
    std::optional<std::size_t> chosen;
    for (std::size_t i = 0; i < settings.sources.size(); ++i) {
        const SourceSlot& slot = settings.sources[i];
        if (!slot.registered || (DriveOf(slot.path) & arrived) == 0 || !FolderIsThere(fileSystem, slot.path))
            continue;
        if (chosen) return std::nullopt;
        chosen = i;
    }
    return chosen;
}

}  // namespace korvane
