#include "core/common/path_text.h"

#include <gtest/gtest.h>

#include <tuple>

namespace korvane {
namespace {

struct BackslashCase {
    std::wstring input;
    std::wstring added;
    std::wstring removed;
};

TEST(PathText, BackslashOperationsAdjustTheGivenVariableAndReturnIt)
{
    const BackslashCase cases[] = {
        {L"C:", L"C:\\", L"C:"},
        {L"C:\\", L"C:\\", L"C:"},
        {L"", L"\\", L""},
        {L"\\", L"\\", L""},
        {L"D:\\Photos\\\\", L"D:\\Photos\\\\", L"D:\\Photos\\"},
        {L"D:/Photos/", L"D:/Photos/\\", L"D:/Photos/"},
        {L"E:\\写真\\ポ", L"E:\\写真\\ポ\\", L"E:\\写真\\ポ"},
    };
    for (const auto& c : cases) {
        std::wstring added = c.input;
        EXPECT_EQ(AddLastBackslash(added), c.added);
        EXPECT_EQ(added, c.added);
        std::wstring removed = c.input;
        EXPECT_EQ(RemoveLastBackslash(removed), c.removed);
        EXPECT_EQ(removed, c.removed);
    }
}

TEST(PathText, JoinPathPutsOneBackslashBetween)
{
    const std::tuple<std::wstring, std::wstring, std::wstring> cases[] = {
        {L"D:\\Backup", L"2027_0302", L"D:\\Backup\\2027_0302"},
        {L"D:\\Backup\\", L"DCIM\\IMG_0001.JPG", L"D:\\Backup\\DCIM\\IMG_0001.JPG"},
        {L"F:\\", L"写真", L"F:\\写真"},
    };
    for (const auto& [folder, name, joined] : cases) EXPECT_EQ(JoinPath(folder, name), joined);
}

}  // namespace
}  // namespace korvane
