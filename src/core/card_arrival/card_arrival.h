#pragma once
// What the copy window does when a volume (a camera's card in its reader) arrives or goes.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/settings/settings_store.h"
#include "platform/file_system.h"

namespace korvane {

// Drive letters as the system's volume notices give them: bit 0 is A:, bit 25 is Z:.
using DriveMask = std::uint32_t;

// The registered source slot that the arrival of the drives in `arrived` chooses: the one slot whose folder
// stands on an arrived drive and is there now. Nothing when no slot or several do: the user then chooses.
std::optional<std::size_t> SlotOnArrivedDrives(const SettingsStore& settings, DriveMask arrived,
                                               const FileSystem& fileSystem);

// The system may tell one insertion several times: each drive counts as arrived once, until it is removed.
class DriveArrivals {
public:
    // The drives of `mask` that were not there before; from now on they are.
    DriveMask Arrive(DriveMask mask) noexcept
    {
        const DriveMask fresh = mask & ~present_;
        present_ |= mask;
        return fresh;
    }
    void Remove(DriveMask mask) noexcept { present_ &= ~mask; }

private:
    DriveMask present_ = 0;
};

}  // namespace korvane
