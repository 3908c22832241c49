#include "core/plan/copy_plan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/memory_file_system.h"

namespace korvane {
namespace {

// A card E:\DCIM of a folder with two pictures, a hidden file, and an empty folder.
class CopyPlanTest : public ::testing::Test {
protected:
    CopyPlanTest()
    {
        files.AddFolder(L"E:\\DCIM");
        files.AddFolder(L"E:\\DCIM\\100KORVA");
        files.AddFile(L"E:\\DCIM\\100KORVA\\IMG_0001.JPG", "jpeg", false, false, 11);
        files.AddFile(L"E:\\DCIM\\100KORVA\\IMG_0002.JPG", "jpeg 2", false, false, 22);
        files.AddFile(L"E:\\DCIM\\.index", "i", true);
        files.AddFolder(L"E:\\DCIM\\EMPTY");
    }

    testing::MemoryFileSystem files;
};

TEST_F(CopyPlanTest, HoldsEveryFileWithSizeAndTimeAndEveryFolderInListingOrder)
{
    const auto plan = ListCard(files, L"E:\\DCIM\\", {});
    ASSERT_TRUE(plan.has_value());
    EXPECT_EQ(plan->source, L"E:\\DCIM\\");
    EXPECT_TRUE(plan->target.empty());
    EXPECT_EQ(plan->folders, (std::vector<std::wstring>{L"100KORVA", L"EMPTY"}));
    EXPECT_EQ(plan->files, (std::vector<PlannedFile>{{L".index", 1, 0},
                                                     {L"100KORVA\\IMG_0001.JPG", 4, 11},
                                                     {L"100KORVA\\IMG_0002.JPG", 6, 22}}));
    EXPECT_TRUE(plan->Complete());
    EXPECT_EQ(plan->SourcePath(L"100KORVA\\IMG_0001.JPG"), L"E:\\DCIM\\100KORVA\\IMG_0001.JPG");
}

TEST_F(CopyPlanTest, SaysWhatCouldNotBeListed)
{
    const struct {
        const char* name;
        std::vector<std::wstring> unreadable;
        bool removeCard;
        std::vector<std::wstring> unreadableInPlan;
        std::optional<std::wstring> failure;
        std::size_t fileCount;
    } cases[] = {
        {"a folder of the card", {L"E:\\DCIM\\100KORVA"}, false, {L"100KORVA"}, std::nullopt, 1},
        {"the card's folder itself", {L"E:\\DCIM"}, false, {}, L"アクセスが拒否されました。", 0},
        {"the card gone", {}, true, {}, L"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing::MemoryFileSystem card = files;
        card.unreadable = c.unreadable;
        if (c.removeCard) card.Remove(L"E:\\DCIM");
        const auto plan = ListCard(card, L"E:\\DCIM", {});
        ASSERT_TRUE(plan.has_value());
        EXPECT_EQ(plan->unreadableFolders, c.unreadableInPlan);
        EXPECT_EQ(plan->listingFailure, c.failure);
        EXPECT_EQ(plan->files.size(), c.fileCount);
        EXPECT_FALSE(plan->Complete());
    }
}

TEST_F(CopyPlanTest, AStopAskedForGivesNoPlan)
{
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(ListCard(files, L"E:\\DCIM", stop.get_token()).has_value());
}

}  // namespace
}  // namespace korvane
