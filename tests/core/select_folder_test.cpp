#include "core/copy/select_folder.h"

#include <gtest/gtest.h>

#include "support/scripted_dialogs.h"

namespace korvane {
namespace {

using testing::ScriptedDialogs;

TEST(SelectFolderTest, HandsOwnerTitleAndInitialFolderToThePicker)
{
    ScriptedDialogs dialogs;
    int owner = 0;
    SelectFolder(dialogs, &owner, L"D:\\写真\\");
    ASSERT_EQ(dialogs.folderPicks.size(), 1u);
    EXPECT_EQ(dialogs.folderPicks[0].owner, &owner);
    EXPECT_EQ(dialogs.folderPicks[0].title, L"フォルダを選択してください");
    EXPECT_EQ(dialogs.folderPicks[0].initialFolder, L"D:\\写真\\");
}

TEST(SelectFolderTest, ReturnsWhatThePickerGaveWithoutAMessage)
{
    const std::wstring longPath = L"C:\\" + std::wstring(300, L'長') + L"\\フォルダ";
    // Whatever the picker chose comes back unchanged: nothing is cut, nothing added.
    for (const std::wstring& picked : {std::wstring(L"E:\\DCIM\\100CANON"), std::wstring(L"E:\\"),
                                       std::wstring(), longPath}) {
        ScriptedDialogs dialogs;
        dialogs.AnswerPickFolder({picked, std::nullopt});
        EXPECT_EQ(SelectFolder(dialogs, nullptr, L""), picked);
        EXPECT_TRUE(dialogs.messages.empty()) << picked;
    }
}

TEST(SelectFolderTest, AFailingPickerShowsItsErrorNumberAndGivesNothing)
{
    struct Case {
        int errorNumber;
        const wchar_t* text;
    };
    const Case cases[] = {{5, L"ERROR: #5"}, {0, L"ERROR: #0"}, {-2147467259, L"ERROR: #-2147467259"}};
    for (const Case& c : cases) {
        ScriptedDialogs dialogs;
        dialogs.AnswerPickFolder({L"C:\\ignored", c.errorNumber});
        EXPECT_EQ(SelectFolder(dialogs, nullptr, L"C:\\"), L"");
        ASSERT_EQ(dialogs.messages.size(), 1u);
        const MessageBoxSpec& shown = dialogs.messages[0];
        EXPECT_EQ(shown.text, c.text);
        EXPECT_EQ(shown.icon, MessageIcon::None);
        EXPECT_EQ(shown.buttons, MessageButtons::Ok);
        EXPECT_FALSE(shown.secondButtonDefault);
        EXPECT_EQ(shown.title, L"ｴﾗｰ");
    }
}

}  // namespace
}  // namespace korvane
