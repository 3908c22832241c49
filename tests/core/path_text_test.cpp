#include "core/path_text.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace korvane
