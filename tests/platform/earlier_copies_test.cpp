// The look for earlier copies on the real file system, where a folder has second names and links make loops.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/earlier_copies/already_copied.h"
#include "core/plan/copy_plan.h"
#include "platform/win32/win32_file_system.h"
#include "second_names.h"
#include "support/file_tree.h"

namespace korvane {
namespace {

using namespace testing::filetree;

class EarlierCopiesOnDisk : public ::testing::Test {
protected:
    EarlierCopiesOnDisk()
    {
        MakeFolder(parent);
        MakeFolder(card);
        WriteBytes(card + L"\\IMG_0001.JPG", "picture");
    }

    TempFolder temp;
    Win32FileSystem files;
    const std::wstring parent = temp / L"card";
    const std::wstring card = parent + L"\\DCIM";
};

// The destination is a drive mapped to the card's parent: the card itself stands under it.
TEST_F(EarlierCopiesOnDisk, TheCardReachedThroughADriveMappedToItsParentIsNoEarlierCopy)
{
    const testing::MappedDrive drive(testing::MappedDrive::FreeLetter(), parent);
    const auto found = FindEarlierCopies(files, *ListCard(files, card, {}), drive.root(), {});
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->copiedFiles, 0u);
    EXPECT_EQ(found->newFiles, std::vector<std::wstring>{L"IMG_0001.JPG"});
}

// Two links to "." under an earlier folder: the look ends, and finds the copy beside them.
TEST_F(EarlierCopiesOnDisk, AFolderLoopUnderTheDestinationEndsTheLook)
{
    const std::wstring photos = temp / L"photos";
    const std::wstring earlier = photos + L"\\2024_0601";
    MakeFolder(photos);
    MakeFolder(earlier);
    ASSERT_TRUE(CopyFileW((card + L"\\IMG_0001.JPG").c_str(), (earlier + L"\\IMG_0001.JPG").c_str(), TRUE));
    const testing::FolderLink loop1(earlier + L"\\loop1", earlier);
    const testing::FolderLink loop2(earlier + L"\\loop2", earlier);

    std::stop_source stop;
    const testing::StopLater watchdog(stop);
    const auto found = FindEarlierCopies(files, *ListCard(files, card, {}), photos, stop.get_token());
    ASSERT_TRUE(found.has_value()) << "the look did not end";
    EXPECT_EQ(found->copiedFiles, 1u);
    EXPECT_EQ(found->holdingFolders, std::vector<std::wstring>{earlier});
}

}  // namespace
}  // namespace korvane
