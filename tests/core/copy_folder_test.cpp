#include "core/copy/copy_folder.h"

#include <gtest/gtest.h>

#include "support/scripted_shell.h"

namespace korvane {
namespace {

struct CopyFolderCase {
    bool renameOnCollision;
    ShellCopyOutcome shellAnswer;
    CopyCollision expectedCollision;
    int expectedResult;
};

TEST(CopyFolder, PassesOnlyTheAskedFlagAndReportsACancelledCopyAsFailed)
{
    const CopyFolderCase cases[] = {
        {false, {0, false}, CopyCollision::Ask, 0},
        {true, {0, false}, CopyCollision::Rename, 0},
        {false, {0x75, false}, CopyCollision::Ask, 0x75},
        {false, {2, true}, CopyCollision::Ask, 2},        // a failure the shell reports keeps its own result
        {false, {0, true}, CopyCollision::Ask, 1223},     // the shell said 0 although the user cancelled part-way
        {true, {0, true}, CopyCollision::Rename, 1223},
    };
    for (const auto& c : cases) {
        testing::ScriptedShell shell;
        shell.AnswerCopy(c.shellAnswer);
        int owner = 0;
        EXPECT_EQ(CopyFolder(shell, &owner, L"E:\\DCIM\\*.*", L"D:\\写真\\2027_0302", c.renameOnCollision),
                  c.expectedResult);
        ASSERT_EQ(shell.copies.size(), 1u);
        EXPECT_EQ(shell.copies[0].owner, &owner);
        EXPECT_EQ(shell.copies[0].from, L"E:\\DCIM\\*.*");
        EXPECT_EQ(shell.copies[0].to, L"D:\\写真\\2027_0302");
        EXPECT_EQ(shell.copies[0].collision, c.expectedCollision);
        EXPECT_TRUE(shell.explorations.empty());
    }
}

TEST(CopyFilesBelow, CopiesEachFileToItsOwnPathInOneListAndReportsACancelledCopyAsFailed)
{
    const std::pair<ShellCopyOutcome, int> cases[] = {{{0, false}, 0}, {{0x75, false}, 0x75}, {{0, true}, 1223}};
    for (const auto& [shellAnswer, expectedResult] : cases) {
        testing::ScriptedShell shell;
        shell.AnswerCopy(shellAnswer);
        EXPECT_EQ(CopyFilesBelow(shell, nullptr, L"E:\\", L"D:\\写真\\2027_0302",
                                 {L"IMG_0001.JPG", L"DCIM\\100_旅行\\ポスター.jpg"}),
                  expectedResult);
        EXPECT_TRUE(shell.copies.empty());
        EXPECT_EQ(shell.listCopies,
                  (std::vector<std::vector<FileCopy>>{{
                      {L"E:\\IMG_0001.JPG", L"D:\\写真\\2027_0302\\IMG_0001.JPG"},
                      {L"E:\\DCIM\\100_旅行\\ポスター.jpg", L"D:\\写真\\2027_0302\\DCIM\\100_旅行\\ポスター.jpg"},
                  }}));
    }
}

}  // namespace
}  // namespace korvane
