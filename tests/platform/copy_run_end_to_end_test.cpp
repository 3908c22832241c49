// The whole copy run against the real file system and the real shell copy; only the boxes are scripted and
// the explorer is recorded rather than opened.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "core/copy/copy_run.h"
#include "platform/win32/win32_file_comparer.h"
#include "platform/win32/win32_file_copier.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_text_codec.h"
#include "support/file_tree.h"
#include "support/fixed_clock.h"
#include "support/question_box_answerer.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_verification.h"

namespace korvane {
namespace {

using namespace testing::filetree;

class RealCopyRecordedExplore : public Win32Shell {
public:
    void Explore(WindowHandle, const std::wstring& folder) override { explored.push_back(folder); }

    std::vector<std::wstring> explored;
};

void BuildSmallCard(const std::wstring& root)
{
    MakeFolder(root);
    MakeFolder(root + L"\\DCIM");
    MakeFolder(root + L"\\DCIM\\100_旅行");
    WriteBytes(root + L"\\DCIM\\100_旅行\\ポスター.jpg", SampleBytes(70000, 1));
    WriteBytes(root + L"\\DCIM\\IMG_0001.JPG", SampleBytes(4096, 2));
    WriteBytes(root + L"\\メモ.txt", "旅行のメモ");
}

class CopyRunEndToEnd : public ::testing::Test {
protected:
    void Run(const std::wstring& destinationText, const Options& options = {})
    {
        RunCopy(services, nullptr, destinationText, source, options);
    }

    std::vector<std::wstring> Texts() const
    {
        std::vector<std::wstring> texts;
        for (const auto& box : dialogs.messages) texts.push_back(box.text);
        return texts;
    }

    TempFolder scratch;
    const std::wstring source = scratch.path() + L"\\カード";
    const std::wstring destination = scratch.path() + L"\\保存先";
    const std::wstring target = destination + L"\\2027_0302";

    Win32FileSystem files;
    Win32TextCodec codec{932};
    testing::ScriptedDialogs dialogs;
    RealCopyRecordedExplore shell;
    testing::FixedClock clock{{2027, 3, 2}};
    Win32FileComparer comparer;
    Win32FileCopier copier;
    testing::InlineLongWork longWork;
    Services services{files, codec, dialogs, shell, clock, comparer, copier, longWork};
};

TEST_F(CopyRunEndToEnd, VerifiedCopyReadsEveryCopiedFileBackBeforeSayingDone)
{
    MakeFolder(destination);
    BuildSmallCard(source);
    dialogs.AnswerPrompt(L"2027_0302");
    testing::QuestionBoxAnswerer answerer;
    Run(destination, {.verify = true});

    EXPECT_EQ(Texts(), std::vector<std::wstring>{L"コピーが完了しました\r\n3 個のファイル（72.3 KB）を照合しました"});
    EXPECT_EQ(longWork.reports.back().done, 70000u + 4096u + 15u);
    EXPECT_EQ(shell.explored, std::vector<std::wstring>{target});
}

TEST_F(CopyRunEndToEnd, CopiesACardThatIsInsertedWhileTheRetryBoxIsOpen)
{
    MakeFolder(destination);
    dialogs.AnswerMessage(MessageAnswer::Retry, [this] { BuildSmallCard(source); });
    dialogs.AnswerPrompt(L"2027_0302");
    testing::QuestionBoxAnswerer answerer;
    Run(destination + L"\\");

    EXPECT_EQ(Texts(), (std::vector<std::wstring>{L"コピー元の準備が出来ていません", L"コピーが完了しました"}));
    EXPECT_EQ(answerer.answeredBoxes(), 0);
    EXPECT_EQ(shell.explored, std::vector<std::wstring>{target});
    ASSERT_EQ(SortedTree(target), SortedTree(source));
    EXPECT_EQ(FilesThatDiffer(source, target), std::vector<std::wstring>{});
}

TEST_F(CopyRunEndToEnd, ACopyCancelledAtTheReplaceQuestionAsksWhetherToLookAtTheResult)
{
    BuildSmallCard(source);
    MakeFolder(destination);
    MakeFolder(target);
    WriteBytes(target + L"\\メモ.txt", "older");
    dialogs.AnswerPrompt(L"2027_0302");
    dialogs.AnswerMessage(MessageAnswer::Yes);
    testing::QuestionBoxAnswerer cancelling(IDCANCEL);
    Run(destination);

    EXPECT_GE(cancelling.answeredBoxes(), 1);
    EXPECT_EQ(Texts(), std::vector<std::wstring>{L"コピーは中断または失敗しました\r\n\r\n結果を確認しますか？"});
    EXPECT_EQ(shell.explored, std::vector<std::wstring>{target});
    EXPECT_EQ(ReadBytes(target + L"\\メモ.txt"), "older");
}

TEST_F(CopyRunEndToEnd, LookUpFailuresOfTheRealFileSystemEndTheRunWithTheirMessages)
{
    BuildSmallCard(source);
    const std::pair<std::wstring, std::wstring> cases[] = {
        {destination + L"\\", L"保存先のフォルダ：\r\n" + destination + L"\\\r\nは存在しません"},
        {scratch.path() + L"\\a|b", L"無効なファイル名です"},
    };
    for (const auto& [destinationText, expectedText] : cases) {
        dialogs = {};
        Run(destinationText);
        EXPECT_EQ(Texts(), std::vector<std::wstring>{expectedText});
        EXPECT_TRUE(dialogs.prompts.empty());
    }
    EXPECT_TRUE(shell.explored.empty());
}

TEST_F(CopyRunEndToEnd, HiddenAndSystemFoldersNamedWithTheirBackslashAreFound)
{
    BuildSmallCard(source);
    MakeFolder(destination);
    SetFileAttributesW(source.c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW(destination.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const struct {
        const char* name;
        std::wstring destinationText;
        std::wstring sourceText;
        std::vector<std::wstring> expectedTexts;
    } cases[] = {
        {"both with a backslash", destination + L"\\", source + L"\\", {L"コピーが完了しました"}},
        {"destination without", destination, source + L"\\",
         {L"保存先のフォルダ：\r\n" + destination + L"\r\nは存在しません"}},
        {"source without", destination + L"\\", source, {L"コピー元の準備が出来ていません"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs = {};
        dialogs.AnswerPrompt(L"2027_0302");
        RunCopy(services, nullptr, c.destinationText, c.sourceText);
        EXPECT_EQ(Texts(), c.expectedTexts);
    }
    ASSERT_EQ(SortedTree(target), SortedTree(source));
    EXPECT_EQ(FilesThatDiffer(source, target), std::vector<std::wstring>{});
}

// Whatever the card holds, its tree is copied below the new folder: the shell, given a pattern that matches one
// item and a folder that is not there, would copy that item as the new folder.
TEST_F(CopyRunEndToEnd, EveryCardGivesItsTreeBelowTheNewFolder)
{
    const struct {
        const char* name;
        std::function<void(const std::wstring&)> makeCard;
        bool targetThere = false;  // a folder of the new folder's name is there already
    } cases[] = {
        {"a card of one folder",
         [](const std::wstring& card) {
             MakeFolder(card);
             MakeFolder(card + L"\\100CANON");
             WriteBytes(card + L"\\100CANON\\IMG_0001.JPG", SampleBytes(5000, 1));
             WriteBytes(card + L"\\100CANON\\IMG_0002.JPG", SampleBytes(6000, 2));
         }},
        {"a card of one file",
         [](const std::wstring& card) {
             MakeFolder(card);
             WriteBytes(card + L"\\IMG_0001.JPG", SampleBytes(5000, 3));
         }},
        {"a card of several items", BuildSmallCard},
        {"a new folder that is there already, copied into", BuildSmallCard, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder place;
        const std::wstring card = place.path() + L"\\カード";
        const std::wstring photos = place.path() + L"\\保存先";
        const std::wstring newFolder = photos + L"\\2027_0302";
        c.makeCard(card);
        MakeFolder(photos);
        if (c.targetThere) MakeFolder(newFolder);
        dialogs = {};
        dialogs.AnswerPrompt(L"2027_0302");
        testing::QuestionBoxAnswerer answerer;
        RunCopy(services, nullptr, photos, card, {.verify = true});

        ASSERT_EQ(Texts().size(), 1u);
        EXPECT_TRUE(Texts()[0].starts_with(L"コピーが完了しました\r\n") && Texts()[0].ends_with(L"を照合しました"))
            << ::testing::PrintToString(Texts()[0]);
        EXPECT_EQ(answerer.answeredBoxes(), 0);
        EXPECT_EQ(SortedTree(newFolder), SortedTree(card));
        EXPECT_EQ(FilesThatDiffer(card, newFolder), std::vector<std::wstring>{});
    }
}

// Folders whose names the ANSI code page lacks are copied to like any other.
TEST_F(CopyRunEndToEnd, CopiesIntoFoldersNamedOutsideTheCodePage)
{
    BuildSmallCard(source);
    for (const std::wstring& name : {std::wstring(L"Café"), std::wstring(L"사진"), std::wstring(L"\U00020BB7野家")}) {
        SCOPED_TRACE(::testing::PrintToString(name));
        const std::wstring folder = scratch.path() + L"\\" + name;
        MakeFolder(folder);
        dialogs = {};
        dialogs.AnswerPrompt(L"2027_0302");
        Run(folder + L"\\");
        EXPECT_EQ(Texts(), std::vector<std::wstring>{L"コピーが完了しました"});
        EXPECT_EQ(FilesThatDiffer(source, folder + L"\\2027_0302"), std::vector<std::wstring>{});
        EXPECT_EQ(SortedTree(folder + L"\\2027_0302"), SortedTree(source));
    }
}

// Paths the shell's copy cannot take: it reported "done" with files missing, wrote outside the destination, or
// ended the program. The run refuses them before the copy, and nothing is created.
TEST_F(CopyRunEndToEnd, ACopyWhosePathsPassTheShellsLimitIsRefusedBeforeAnythingIsCopied)
{
    BuildSmallCard(source);
    const std::wstring longDestination = scratch.path() + L"\\" + std::wstring(240 - scratch.path().size(), L'x');
    MakeFolder(destination);
    MakeFolder(longDestination);
    const struct {
        const char* name;
        std::wstring destinationText;
        std::wstring folderName;
    } cases[] = {
        {"a deep destination", longDestination + L"\\", L"2027_0302"},
        {"300 ASCII characters", destination, std::wstring(300, L'a')},
        {"300 Japanese characters", destination, std::wstring(300, L'写')},
        // A file's path would fit, a folder's does not: the shell's copy could not create the folder.
        {"a new folder past 248 characters", destination, std::wstring(249 - destination.size() - 1, L'f')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs = {};
        dialogs.AnswerPrompt(c.folderName);
        Run(c.destinationText);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_TRUE(dialogs.messages[0].text.starts_with(L"作成されるパスが長すぎるため"));
        EXPECT_EQ(dialogs.messages[0].title, L"エラー");
    }
    EXPECT_EQ(SortedTree(longDestination), std::vector<std::wstring>{});
    EXPECT_EQ(SortedTree(destination), std::vector<std::wstring>{});
    EXPECT_TRUE(shell.explored.empty());
}

// A card on a drive of its own, removed at the end: under Wine, Z: is the Unix root while the temporary folder is
// on C:. Nothing when the system has no such second drive.
class CardOnAnotherDrive {
public:
    explicit CardOnAnotherDrive(const FileSystem& files, const std::wstring& scratch)
        : path_(L"Z:\\tmp\\korvane_card_" + std::to_wstring(GetCurrentProcessId()))
    {
        const auto cardDrive = files.VolumeOf(L"Z:\\tmp");
        const auto scratchDrive = files.VolumeOf(scratch);
        if (!cardDrive || !scratchDrive || *cardDrive == *scratchDrive) return;
        BuildSmallCard(path_);
        there_ = true;
    }
    ~CardOnAnotherDrive()
    {
        if (there_) RemoveTree(path_);
    }
    CardOnAnotherDrive(const CardOnAnotherDrive&) = delete;
    CardOnAnotherDrive& operator=(const CardOnAnotherDrive&) = delete;

    bool there() const { return there_; }
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
    bool there_ = false;
};

// With a backup folder, either copier makes the card's tree byte for byte below the destination and below the
// backup folder, and the completion box names both new folders.
TEST_F(CopyRunEndToEnd, ABackupFolderGetsTheCardsTreeFromEitherCopier)
{
    const CardOnAnotherDrive card(files, scratch.path());
    if (!card.there()) GTEST_SKIP() << "no second drive for the card";
    for (const bool own : {false, true}) {
        SCOPED_TRACE(own ? "the own copier" : "the shell's copy");
        TempFolder place;
        const std::wstring photos = place.path() + L"\\保存先";
        const std::wstring backup = place.path() + L"\\사진 控え";
        MakeFolder(photos);
        MakeFolder(backup);
        dialogs = {};
        dialogs.AnswerPrompt(L"2027_0302");
        testing::QuestionBoxAnswerer answerer;
        RunCopy(services, nullptr, photos, card.path(), {.verify = true, .readCardOnce = own, .backupFolder = backup});

        ASSERT_EQ(Texts().size(), 1u);
        EXPECT_TRUE(Texts()[0].starts_with(L"コピーが完了しました\r\n保存先：" + photos + L"\\2027_0302\r\nバックアップ：" +
                                           backup + L"\\2027_0302\r\n"))
            << ::testing::PrintToString(Texts()[0]);
        EXPECT_EQ(answerer.answeredBoxes(), 0);
        for (const std::wstring& folder : {photos, backup}) {
            EXPECT_EQ(SortedTree(folder + L"\\2027_0302"), SortedTree(card.path()));
            EXPECT_EQ(FilesThatDiffer(card.path(), folder + L"\\2027_0302"), std::vector<std::wstring>{});
        }
        EXPECT_EQ(shell.explored.back(), photos + L"\\2027_0302");
    }
}

// The real file system tells the folders apart: the destination by another text, a folder in the card, the card's
// drive. Nothing is copied, and no new folder made.
TEST_F(CopyRunEndToEnd, ABackupFolderThatWouldCopyIntoItselfOrStayOnTheCardIsRefused)
{
    const CardOnAnotherDrive card(files, scratch.path());
    if (!card.there()) GTEST_SKIP() << "no second drive for the card";
    MakeFolder(destination);
    MakeFolder(card.path() + L"\\控え");
    const struct {
        std::wstring backup;
        std::wstring why;
    } cases[] = {
        {destination + L"\\.\\", L"保存先と同じ"},
        {card.path() + L"\\控え", L"コピー元の中にある"},
        {L"Z:\\tmp", L"コピー元と同じドライブにある"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.backup));
        dialogs = {};
        dialogs.AnswerPrompt(L"2027_0302");
        RunCopy(services, nullptr, destination, card.path(), {.backupFolder = c.backup});
        ASSERT_EQ(Texts().size(), 1u);
        EXPECT_TRUE(Texts()[0].starts_with(L"バックアップ先のフォルダが" + c.why + L"ため、コピーできません：\r\n" +
                                           c.backup))
            << ::testing::PrintToString(Texts()[0]);
        EXPECT_FALSE(files.Lookup(destination + L"\\2027_0302\\", LookupKind::FilesAndFolders));
    }
}

}  // namespace
}  // namespace korvane
