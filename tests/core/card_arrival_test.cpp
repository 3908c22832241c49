#include "core/card_arrival/card_arrival.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "support/memory_file_system.h"

namespace korvane {
namespace {

DriveMask Drives(std::initializer_list<wchar_t> letters)
{
    DriveMask mask = 0;
    for (wchar_t letter : letters) mask |= DriveMask{1} << (letter - L'A');
    return mask;
}

TEST(SlotOnArrivedDrives, ChoosesTheOneRegisteredSlotWhoseFolderIsOnAnArrivedDrive)
{
    testing::MemoryFileSystem files;
    files.AddFolder(L"E:\\DCIM");
    files.AddFolder(L"F:\\DCIM");
    files.AddFolder(L"G:\\");
    files.AddFolder(L"DCIM");  // relative to the current folder, wherever that is
    const struct {
        const char* what;
        std::array<SourceSlot, 3> sources;
        DriveMask arrived;
        std::optional<std::size_t> expected;
    } cases[] = {
        {"one slot on the drive", {{{L"SD", L"C:\\x", true}, {L"CF", L"E:\\DCIM", true}, {}}}, Drives({L'E'}), 1},
        {"lower-case letter, trailing backslash", {{{L"SD", L"e:\\dcim\\", true}, {}, {}}}, Drives({L'E'}), 0},
        {"a drive root", {{{L"SD", L"G:\\", true}, {}, {}}}, Drives({L'G'}), 0},
        {"two candidates choose none", {{{L"a", L"E:\\DCIM", true}, {L"b", L"F:\\DCIM", true}, {}}},
         Drives({L'E', L'F'}), std::nullopt},
        {"two slots, one on the arrived drive", {{{L"a", L"E:\\DCIM", true}, {L"b", L"F:\\DCIM", true}, {}}},
         Drives({L'F'}), 1},
        {"the folder is not on the card", {{{L"SD", L"E:\\PRIVATE", true}, {}, {}}}, Drives({L'E'}), std::nullopt},
        {"an unregistered slot is never chosen", {{{L"SD", L"E:\\DCIM", false}, {}, {}}}, Drives({L'E'}),
         std::nullopt},
        {"another drive arrived", {{{L"SD", L"E:\\DCIM", true}, {}, {}}}, Drives({L'H'}), std::nullopt},
        {"a relative folder is on no drive, not on D:", {{{L"SD", L"DCIM", true}, {}, {}}}, Drives({L'D'}),
         std::nullopt},
        {"a network folder", {{{L"NAS", L"\\\\nas\\photos", true}, {}, {}}}, ~DriveMask{0}, std::nullopt},
        {"a malformed folder", {{{L"SD", L"E:\\a|b", true}, {L"CF", L"F:\\DCIM", true}, {}}}, Drives({L'E', L'F'}),
         1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SettingsStore settings;
        settings.sources = c.sources;
        EXPECT_EQ(SlotOnArrivedDrives(settings, c.arrived, files), c.expected);
    }
}

TEST(DriveArrivals, ADriveArrivesOnceUntilItIsRemoved)
{
    DriveArrivals arrivals;
    EXPECT_EQ(arrivals.Arrive(Drives({L'E'})), Drives({L'E'}));
    EXPECT_EQ(arrivals.Arrive(Drives({L'E'})), 0u) << "the same insertion told again";
    EXPECT_EQ(arrivals.Arrive(Drives({L'E', L'F'})), Drives({L'F'}));
    arrivals.Remove(Drives({L'E'}));
    EXPECT_EQ(arrivals.Arrive(Drives({L'E', L'F'})), Drives({L'E'})) << "put in again";
}

}  // namespace
}  // namespace korvane
