// The start button of the copy window: the run reads the two path boxes at the click, belongs to the window and
// reports through the window's boxes.
#include <gtest/gtest.h>

#include "platform/failure.h"
#include "window_test_support.h"

namespace korvane {
namespace {

using testing::CopyWindowHarness;
using testing::PressAccessKey;

const MessageBoxSpec kCopyDone{L"コピーが完了しました", MessageIcon::Information, MessageButtons::Ok, false, L"完了"};
const MessageBoxSpec kCopyFailedQuestion{L"コピーは中断または失敗しました\r\n\r\n結果を確認しますか？",
                                         MessageIcon::Exclamation, MessageButtons::YesNo, true, L"エラー"};
const MessageBoxSpec kSourceNotReady{L"コピー元の準備が出来ていません", MessageIcon::Critical,
                                     MessageButtons::RetryCancel, false, L"エラー"};

void ExpectMessages(const std::vector<MessageBoxSpec>& seen, const std::vector<MessageBoxSpec>& expected)
{
    ASSERT_EQ(seen.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].text, expected[i].text);
        EXPECT_EQ(seen[i].icon, expected[i].icon);
        EXPECT_EQ(seen[i].buttons, expected[i].buttons);
        EXPECT_EQ(seen[i].secondButtonDefault, expected[i].secondButtonDefault);
        EXPECT_EQ(seen[i].title, expected[i].title);
    }
}

// A card folder and a destination folder in the test's own folder, typed into the two boxes.
class CopyRunWindowTest : public ::testing::Test, protected CopyWindowHarness {
protected:
    std::wstring card = programFolder / L"カード";
    std::wstring photos = programFolder / L"写真";

    ui::frmCopy& OpenWithBoxes(const std::wstring& source, const std::wstring& destination)
    {
        testing::filetree::MakeFolder(photos);
        ui::frmCopy& w = Open();
        w.txtSource.SetText(source);
        w.txtDir.SetText(destination);
        return w;
    }
};

TEST_F(CopyRunWindowTest, AltSCopiesTheSourceBoxIntoADatedFolderUnderTheDestinationBox)
{
    testing::filetree::MakeFolder(card);
    clock.Set({2027, 3, 2});
    ui::frmCopy& w = OpenWithBoxes(card + L"\\", photos + L"\\");
    dialogs.AnswerPrompt(L"2027_0302");

    PressAccessKey(L's');

    ASSERT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_EQ(dialogs.prompts[0].title, L"コピー");
    EXPECT_EQ(dialogs.prompts[0].defaultText, L"2027_0302");
    ASSERT_EQ(shell.copies.size(), 1u);
    EXPECT_EQ(shell.copies[0].owner, w.handle());
    EXPECT_EQ(shell.copies[0].from, card + L"\\*.*");
    EXPECT_EQ(shell.copies[0].to, photos + L"\\2027_0302");
    EXPECT_EQ(shell.copies[0].collision, CopyCollision::Ask);
    ExpectMessages(dialogs.messages, {kCopyDone});
    ASSERT_EQ(shell.explorations.size(), 1u);
    EXPECT_EQ(shell.explorations[0].owner, w.handle());
    EXPECT_EQ(shell.explorations[0].folder, photos + L"\\2027_0302");
    // The run changes no box.
    EXPECT_EQ(w.txtSource.Text(), card + L"\\");
    EXPECT_EQ(w.txtDir.Text(), photos + L"\\");
}

TEST(CopyRunWindowOutcomes, OutcomeOfTheShellCopyDecidesTheReport)
{
    struct Case {
        const char* name;
        ShellCopyOutcome outcome;
        int raisedCode;  // a failure raised during the copy, 0 for none
        MessageAnswer answer;
        std::vector<MessageBoxSpec> expected;
        bool explored;
    };
    const MessageBoxSpec failure76{L"コピーに失敗しました（Err No.76)", MessageIcon::Exclamation, MessageButtons::Ok,
                                   false, L"エラー"};
    const Case cases[] = {
        {"success", {0, false}, 0, MessageAnswer::Ok, {kCopyDone}, true},
        {"cancelled by the user, who looks", {0, true}, 0, MessageAnswer::Yes, {kCopyFailedQuestion}, true},
        {"failed, user does not look", {5, false}, 0, MessageAnswer::No, {kCopyFailedQuestion}, false},
        {"failure raised", {}, 76, MessageAnswer::Ok, {failure76}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CopyWindowHarness h;
        testing::filetree::MakeFolder(h.programFolder / L"card");
        testing::filetree::MakeFolder(h.programFolder / L"dest");
        ui::frmCopy& w = h.Open();
        w.txtSource.SetText(h.programFolder / L"card");
        w.txtDir.SetText(h.programFolder / L"dest");
        h.dialogs.AnswerPrompt(L"2026_1205");
        h.dialogs.AnswerMessage(c.answer);
        const int code = c.raisedCode;
        h.shell.AnswerCopy(c.outcome, [code] {
            if (code != 0) throw Failure(code);
        });

        testing::Click(w.cmdStart);

        ExpectMessages(h.dialogs.messages, c.expected);
        EXPECT_EQ(h.shell.explorations.size(), c.explored ? 1u : 0u);
    }
}

TEST_F(CopyRunWindowTest, MissingDestinationIsTheOnlyMessageAndTheSourceIsNotLookedAt)
{
    // A malformed source would be reported if it were looked up.
    OpenWithBoxes(L"C:\\a<b", programFolder / L"無い\\");

    PressAccessKey(L's');

    ExpectMessages(dialogs.messages, {{L"保存先のフォルダ：\r\n" + (programFolder / L"無い\\") + L"\r\nは存在しません",
                                       MessageIcon::Exclamation, MessageButtons::Ok, false, L"エラー"}});
    EXPECT_TRUE(dialogs.prompts.empty());
    EXPECT_TRUE(shell.copies.empty());
}

TEST_F(CopyRunWindowTest, MalformedSourceTypedInTheBoxIsReportedAsABadFileName)
{
    OpenWithBoxes(L"C:\\a<b", photos);

    PressAccessKey(L's');

    ExpectMessages(dialogs.messages,
                   {{L"無効なファイル名です", MessageIcon::Critical, MessageButtons::Ok, false, L"エラー"}});
    EXPECT_TRUE(shell.copies.empty());
}

TEST_F(CopyRunWindowTest, RetryLooksUpTheSourceTextOfTheClickNotWhatIsTypedMeanwhile)
{
    ui::frmCopy& w = OpenWithBoxes(card, photos);
    dialogs.AnswerMessage(MessageAnswer::Retry, [&] {
        w.txtSource.SetText(programFolder.path());  // typed while the box is open
        testing::filetree::MakeFolder(card);        // the card is inserted
    });
    dialogs.AnswerPrompt(L"2026_1205");

    PressAccessKey(L's');

    ExpectMessages(dialogs.messages, {kSourceNotReady, kCopyDone});
    ASSERT_EQ(shell.copies.size(), 1u);
    EXPECT_EQ(shell.copies[0].from, card + L"\\*.*");
}

TEST_F(CopyRunWindowTest, CancelledOrEmptiedNameEndsTheRunSilently)
{
    testing::filetree::MakeFolder(card);
    OpenWithBoxes(card, photos);
    dialogs.AnswerPrompt(L"");  // Cancel, Esc, the close box and an emptied field all give empty text

    PressAccessKey(L's');

    EXPECT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(shell.copies.empty());
}

// The option comes from the settings file through the store: with it on, a card copied already is asked about,
// and the default answer copies nothing.
TEST_F(CopyRunWindowTest, SkipCopiedInTheSettingsFileMakesTheRunLookForEarlierCopies)
{
    WriteSettings(L"[Option]\r\nSkipCopied=1\r\n");
    testing::filetree::MakeFolder(card);
    testing::filetree::WriteBytes(card + L"\\IMG_0001.JPG", "jpeg");
    testing::filetree::MakeFolder(photos);
    testing::filetree::MakeFolder(photos + L"\\2026_1204");
    ASSERT_TRUE(CopyFileW((card + L"\\IMG_0001.JPG").c_str(), (photos + L"\\2026_1204\\IMG_0001.JPG").c_str(), TRUE));
    ui::frmCopy& w = OpenWithBoxes(card, photos);

    PressAccessKey(L's');

    // The card's listing, then the look for earlier copies, each behind the copy window.
    EXPECT_EQ(dialogs.waits, (std::vector<WindowHandle>{w.handle(), w.handle()}));
    ExpectMessages(dialogs.messages, {{L"このカードのファイルはすべてコピー済みです。\r\n" + photos +
                                           L"\\2026_1204\r\n\r\nもう一度コピーしますか？",
                                       MessageIcon::Question, MessageButtons::YesNo, true, L"コピー"}});
    EXPECT_TRUE(dialogs.prompts.empty());
    EXPECT_TRUE(shell.copies.empty());
}

}  // namespace
}  // namespace korvane

namespace korvane {
namespace {

// The settings' Verify option reaches the run: on, the run compares behind the copy window before it says done.
TEST(VerifiedCopyFromTheWindow, TheStartButtonVerifiesOnlyWhenTheSettingsSaySo)
{
    for (const bool verify : {false, true}) {
        SCOPED_TRACE(verify);
        CopyWindowHarness h;
        h.WriteSettings(verify ? L"[Option]\r\nVerify=1\r\n" : L"[Option]\r\nVerify=0\r\n");
        testing::filetree::MakeFolder(h.programFolder / L"card");
        testing::filetree::MakeFolder(h.programFolder / L"dest");
        testing::filetree::WriteBytes(h.programFolder / L"card\\写真.jpg", "jpeg");
        ui::frmCopy& w = h.Open();
        w.txtSource.SetText(h.programFolder / L"card");
        w.txtDir.SetText(h.programFolder / L"dest");
        h.dialogs.AnswerPrompt(L"2026_1205");
        h.shell.AnswerCopy({0, false}, [&h] {
            testing::filetree::MakeFolder(h.programFolder / L"dest\\2026_1205");
            testing::filetree::WriteBytes(h.programFolder / L"dest\\2026_1205\\写真.jpg", "jpeg");
        });

        testing::Click(w.cmdStart);

        ExpectMessages(h.dialogs.messages,
                       {verify ? MessageBoxSpec{L"コピーが完了しました\r\n1 個のファイル（4 バイト）を照合しました",
                                                MessageIcon::Information, MessageButtons::Ok, false, L"完了"}
                               : kCopyDone});
        EXPECT_EQ(h.longWork.owners, verify ? std::vector<WindowHandle>{w.handle()} : std::vector<WindowHandle>{});
    }
}

}  // namespace
}  // namespace korvane
