#include "core/earlier_copies/already_copied.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/copy/copy_run.h"
#include "support/cp932_codec.h"
#include "support/fixed_clock.h"
#include "support/memory_file_system.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_shell.h"
#include "support/scripted_verification.h"

namespace korvane {
namespace {

constexpr std::int64_t kSecond = 10'000'000;  // the listing's 100-nanosecond steps
constexpr std::int64_t kHour = 3600 * kSecond;
constexpr std::int64_t kShot = 133'500'000'000'000'000;  // some day in 2024

TEST(IsCopyOf, NeedsTheSameSizeAndATimeWithinTwoSecondsOrOneHourApart)
{
    const struct {
        const char* name;
        std::uint64_t size;
        std::int64_t shift;
        bool copy;
    } cases[] = {
        {"same size and time", 1000, 0, true},
        {"other size", 1001, 0, false},
        {"empty file, other size", 0, 0, false},
        {"2 s later (FAT's step)", 1000, 2 * kSecond, true},
        {"2 s earlier", 1000, -2 * kSecond, true},
        {"just past 2 s", 1000, 2 * kSecond + 1, false},
        {"10 s later", 1000, 10 * kSecond, false},
        {"one hour later (daylight saving)", 1000, kHour, true},
        {"one hour earlier", 1000, -kHour, true},
        {"one hour and 2 s", 1000, kHour + 2 * kSecond, true},
        {"one hour less 2 s", 1000, kHour - 2 * kSecond, true},
        {"just past one hour and 2 s", 1000, kHour + 2 * kSecond + 1, false},
        {"half an hour", 1000, kHour / 2, false},
        {"two hours", 1000, 2 * kHour, false},
        {"one hour, other size", 999, kHour, false},
    };
    const PlannedFile source{L"DCIM\\IMG_0001.JPG", 1000, kShot};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsCopyOf(source, {source.relativePath, false, c.size, kShot + c.shift}), c.copy);
    }
}

const wchar_t kSource[] = L"E:\\DCIM";
const wchar_t kDestination[] = L"D:\\Photos\\";

// A card in E:\DCIM and earlier copies in folders under D:\Photos, in memory.
class AlreadyCopiedTest : public ::testing::Test {
public:  // the cases' set-ups below reach them
    AlreadyCopiedTest()
    {
        files.AddFolder(L"D:\\Photos");
        files.AddFolder(kSource);
    }

    // A file of `size` bytes at `path` (with its folders), written at `time`.
    void AddFile(const std::wstring& path, std::size_t size, std::int64_t time = kShot)
    {
        for (std::size_t slash = path.find(L'\\', 3); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1))
            files.AddFolder(path.substr(0, slash));
        files.AddFile(path, std::string(size, 'x'), false, false, time);
    }
    void AddCardFile(const std::wstring& relative, std::size_t size, std::int64_t time = kShot)
    {
        AddFile(std::wstring(kSource) + L"\\" + relative, size, time);
    }
    void AddEarlierFile(const std::wstring& folder, const std::wstring& relative, std::size_t size,
                        std::int64_t time = kShot)
    {
        AddFile(L"D:\\Photos\\" + folder + L"\\" + relative, size, time);
    }

    // The look for earlier copies of the card at `source`, listed as the run lists it.
    std::optional<EarlierCopies> Find(std::stop_token stop = {}, const std::wstring& source = kSource)
    {
        return FindEarlierCopies(files, *ListCard(files, source, {}), kDestination, stop);
    }

    testing::MemoryFileSystem files;
};

TEST_F(AlreadyCopiedTest, ACardFileCountsAsCopiedOnlyWhereAnEarlierFolderHoldsItsMatch)
{
    const struct {
        const char* name;
        std::wstring earlierPath;  // below D:\Photos\2024_0601
        std::size_t earlierSize;
        std::int64_t earlierTime;
        bool copied;
    } cases[] = {
        {"same path, size and time", L"100KORVA\\IMG_0001.JPG", 500, kShot, true},
        {"same name, other size", L"100KORVA\\IMG_0001.JPG", 501, kShot, false},
        {"same size, other time", L"100KORVA\\IMG_0001.JPG", 500, kShot + 60 * kSecond, false},
        {"2 seconds apart", L"100KORVA\\IMG_0001.JPG", 500, kShot - 2 * kSecond, true},
        {"one hour apart", L"100KORVA\\IMG_0001.JPG", 500, kShot + kHour + kSecond, true},
        {"other case", L"100korva\\img_0001.jpg", 500, kShot, true},
        {"another relative path", L"IMG_0001.JPG", 500, kShot, false},
        {"another folder of the card", L"101KORVA\\IMG_0001.JPG", 500, kShot, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        files = {};
        files.AddFolder(L"D:\\Photos");
        AddCardFile(L"100KORVA\\IMG_0001.JPG", 500);
        AddEarlierFile(L"2024_0601", c.earlierPath, c.earlierSize, c.earlierTime);
        const auto found = Find();
        ASSERT_TRUE(found.has_value());
        EXPECT_EQ(found->copiedFiles, c.copied ? 1u : 0u);
        EXPECT_EQ(found->newFiles,
                  c.copied ? std::vector<std::wstring>{} : std::vector<std::wstring>{L"100KORVA\\IMG_0001.JPG"});
        EXPECT_EQ(found->holdingFolders,
                  c.copied ? std::vector<std::wstring>{L"D:\\Photos\\2024_0601"} : std::vector<std::wstring>{});
    }
}

TEST_F(AlreadyCopiedTest, CopiesSpreadOverSeveralEarlierFoldersAreAllFoundAndTheirFoldersNamed)
{
    AddCardFile(L"100KORVA\\IMG_0001.JPG", 100);
    AddCardFile(L"100KORVA\\IMG_0002.JPG", 200);
    AddCardFile(L"100KORVA\\IMG_0003.JPG", 300);
    AddCardFile(L"MISC\\AUTPRINT.MRK", 10);
    AddEarlierFile(L"2024_0602", L"100KORVA\\IMG_0002.JPG", 200);
    AddEarlierFile(L"2024_0601", L"100KORVA\\IMG_0001.JPG", 100);
    AddEarlierFile(L"2024_0601", L"100KORVA\\IMG_0002.JPG", 200);
    AddEarlierFile(L"2024_0603", L"100KORVA\\IMG_0003.JPG", 999);  // a rolled-over number: another picture
    AddEarlierFile(L"旅行", L"DCIM\\100KORVA\\IMG_0003.JPG", 300);   // a copy of the whole card: other paths

    const auto found = Find();

    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->copiedFiles, 2u);
    EXPECT_EQ(found->newFiles, (std::vector<std::wstring>{L"100KORVA\\IMG_0003.JPG", L"MISC\\AUTPRINT.MRK"}));
    EXPECT_EQ(found->holdingFolders, (std::vector<std::wstring>{L"D:\\Photos\\2024_0601", L"D:\\Photos\\2024_0602"}));
    EXPECT_TRUE(found->unreadableFolders.empty());
}

TEST_F(AlreadyCopiedTest, EdgesOfTheCardAndTheDestination)
{
    const struct {
        const char* name;
        std::function<void(AlreadyCopiedTest&)> arrange;
        bool checked;  // false: the card cannot be checked file by file
        std::size_t copied;
        std::size_t fresh;
        std::vector<std::wstring> unreadable;
        std::wstring source = kSource;
    } cases[] = {
        {"an empty card", [](AlreadyCopiedTest& t) { t.AddEarlierFile(L"2024_0601", L"IMG_0001.JPG", 1); }, true, 0,
         0, {}},
        {"nothing under the destination", [](AlreadyCopiedTest& t) { t.AddCardFile(L"IMG_0001.JPG", 1); }, true, 0,
         1, {}},
        {"an unreadable earlier folder is skipped and named",
         [](AlreadyCopiedTest& t) {
             t.AddCardFile(L"IMG_0001.JPG", 1);
             t.AddEarlierFile(L"2024_0601", L"IMG_0001.JPG", 1);
             t.AddEarlierFile(L"2024_0602", L"IMG_0001.JPG", 1);
             t.files.unreadable = {L"D:\\Photos\\2024_0602", L"D:\\Photos\\2024_0601\\SUB"};
             t.files.AddFolder(L"D:\\Photos\\2024_0601\\SUB");
         },
         true, 1, 0, {L"D:\\Photos\\2024_0601\\SUB", L"D:\\Photos\\2024_0602"}},
        {"a source directly under the destination is no earlier copy",
         [](AlreadyCopiedTest& t) {
             t.AddFile(L"D:\\Photos\\Card\\IMG_0001.JPG", 1);
             t.AddEarlierFile(L"2024_0601", L"IMG_0002.JPG", 1);
         },
         true, 0, 1, {}, L"d:\\photos\\card\\"},
        {"the card reached by another name for its parent is no earlier copy",
         [](AlreadyCopiedTest& t) {
             t.AddCardFile(L"IMG_0001.JPG", 1);
             t.AddEarlierFile(L"DCIM", L"IMG_0001.JPG", 1);  // D:\Photos is E:\ under another name
             t.files.MakeSameFolder(L"D:\\Photos\\DCIM", kSource);
         },
         true, 0, 1, {}},
        {"a card folder that cannot be listed",
         [](AlreadyCopiedTest& t) {
             t.AddCardFile(L"100KORVA\\IMG_0001.JPG", 1);
             t.AddEarlierFile(L"2024_0601", L"100KORVA\\IMG_0001.JPG", 1);
             t.files.unreadable = {L"E:\\DCIM\\100KORVA"};
         },
         false, 0, 0, {}},
        {"a card path longer than the shell's copy takes",
         [](AlreadyCopiedTest& t) { t.AddCardFile(std::wstring(251, L'f') + L".jpg", 1); }, false, 0, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        files = {};
        files.AddFolder(L"D:\\Photos");
        files.AddFolder(kSource);
        c.arrange(*this);
        const auto found = Find({}, c.source);
        ASSERT_EQ(found.has_value(), c.checked);
        if (!found) continue;
        EXPECT_EQ(found->copiedFiles, c.copied);
        EXPECT_EQ(found->newFiles.size(), c.fresh);
        EXPECT_EQ(found->unreadableFolders, c.unreadable);
    }
}

TEST_F(AlreadyCopiedTest, AStopAskedForEndsTheLookWithNothing)
{
    AddCardFile(L"IMG_0001.JPG", 1);
    AddEarlierFile(L"2024_0601", L"IMG_0001.JPG", 1);
    std::stop_source stop;
    stop.request_stop();
    EXPECT_FALSE(Find(stop.get_token()).has_value());
}

// A folder loop under the destination can make a listing endless: Esc must end it inside the listing.
TEST_F(AlreadyCopiedTest, AStopAskedForDuringAListingEndsItAtOnce)
{
    AddCardFile(L"IMG_0001.JPG", 1);
    for (int i = 0; i < 100; ++i) AddEarlierFile(L"2024_0601", L"IMG_" + std::to_wstring(1000 + i) + L".JPG", 1);
    std::stop_source stop;
    std::size_t listed = 0;
    files.whileListing = [&](const TreeEntry&) {
        if (++listed == 2) stop.request_stop();  // at the first entry of the earlier folder
    };
    EXPECT_FALSE(Find(stop.get_token()).has_value());
    EXPECT_EQ(listed, 2u);
}

// The run with the option on: its questions, their answers, and what is copied.
class SkipCopiedRunTest : public AlreadyCopiedTest {
protected:
    SkipCopiedRunTest()
    {
        AddCardFile(L"100KORVA\\IMG_0001.JPG", 100);
        AddCardFile(L"100KORVA\\IMG_0002.JPG", 200);
        AddCardFile(L"100KORVA\\IMG_0003.JPG", 300);
        AddEarlierFile(L"2024_0601", L"100KORVA\\IMG_0001.JPG", 100);
    }

    void Run(bool skipCopied = true, bool verify = false)
    {
        dialogs.AnswerPrompt(L"2024_0610");
        RunCopy(services, &ownerWindow, kDestination, kSource, {.verify = verify, .skipCopied = skipCopied});
    }

    std::vector<std::wstring> Texts() const
    {
        std::vector<std::wstring> texts;
        for (const auto& box : dialogs.messages) texts.push_back(box.text);
        return texts;
    }

    bool CopiedWholeCard() const
    {
        return shell.listCopies.empty() && shell.copies.size() == 1 && shell.copies[0].from == L"E:\\DCIM\\*.*" &&
               shell.copies[0].to == L"D:\\Photos\\2024_0610";
    }

    decltype(testing::MakeCp932Codec()) codec = testing::MakeCp932Codec();
    testing::ScriptedDialogs dialogs;
    testing::ScriptedShell shell;
    testing::FixedClock clock{{2024, 6, 10}};
    testing::ContentComparer comparer{files};
    testing::ContentCopier copier{files};
    testing::InlineLongWork longWork;
    Services services{files, codec, dialogs, shell, clock, comparer, copier, longWork};
    int ownerWindow = 0;
};

const MessageBoxSpec kSomeCopied{
    L"3 個のファイルのうち 1 個はコピー済みです。\r\nD:\\Photos\\2024_0601\r\n\r\n新しい 2 個だけをコピーしますか？\r\n"
    L"（「いいえ」を選ぶと、すべてのファイルをコピーします）",
    MessageIcon::Question, MessageButtons::YesNoCancel, false, L"コピー"};

TEST_F(SkipCopiedRunTest, SomeCopiedAsksWhetherToCopyOnlyTheNewFiles)
{
    const struct {
        const char* name;
        MessageAnswer answer;
        bool onlyNew;
        bool wholeCard;
    } cases[] = {
        {"Yes copies only the new files", MessageAnswer::Yes, true, false},
        {"No copies everything", MessageAnswer::No, false, true},
        {"Cancel ends the run", MessageAnswer::Cancel, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs = {};
        shell = {};
        dialogs.AnswerMessage(c.answer);
        Run();

        ASSERT_FALSE(dialogs.messages.empty());
        EXPECT_EQ(dialogs.messages[0], kSomeCopied);
        // One wait while the card is listed, one while the earlier copies are looked for.
        EXPECT_EQ(dialogs.waits, (std::vector<WindowHandle>{&ownerWindow, &ownerWindow}));
        EXPECT_EQ(CopiedWholeCard(), c.wholeCard);
        EXPECT_EQ(dialogs.prompts.size(), c.onlyNew || c.wholeCard ? 1u : 0u);
        if (c.onlyNew) {
            EXPECT_TRUE(shell.copies.empty());
            EXPECT_EQ(shell.listCopies,
                      (std::vector<std::vector<FileCopy>>{{
                          {L"E:\\DCIM\\100KORVA\\IMG_0002.JPG", L"D:\\Photos\\2024_0610\\100KORVA\\IMG_0002.JPG"},
                          {L"E:\\DCIM\\100KORVA\\IMG_0003.JPG", L"D:\\Photos\\2024_0610\\100KORVA\\IMG_0003.JPG"},
                      }}));
            EXPECT_EQ(Texts(), (std::vector<std::wstring>{kSomeCopied.text,
                                                          L"コピーが完了しました\r\nコピー済みの 1 個のファイルは除きました"}));
        } else if (c.wholeCard) {
            EXPECT_EQ(Texts(), (std::vector<std::wstring>{kSomeCopied.text, L"コピーが完了しました"}));
        } else {
            EXPECT_EQ(Texts(), std::vector<std::wstring>{kSomeCopied.text});
            EXPECT_TRUE(shell.copies.empty() && shell.listCopies.empty());
        }
    }
}

// With both options on, the check compares exactly the files that were copied, and says both in the end.
TEST_F(SkipCopiedRunTest, TheVerificationComparesOnlyTheNewFilesThatWereCopied)
{
    dialogs.AnswerMessage(MessageAnswer::Yes);
    shell.AnswerCopy({}, [this] {
        for (const FileCopy& copy : shell.listCopies.back()) files.AddFile(copy.to, *files.ReadFile(copy.from));
    });
    Run(true, true);

    std::vector<std::wstring> compared;
    for (const FilePair& pair : comparer.comparedPairs) compared.push_back(pair.copy);
    EXPECT_EQ(compared, (std::vector<std::wstring>{L"D:\\Photos\\2024_0610\\100KORVA\\IMG_0002.JPG",
                                                   L"D:\\Photos\\2024_0610\\100KORVA\\IMG_0003.JPG"}));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages[1].text.starts_with(L"コピーが完了しました\r\nコピー済みの 1 個のファイルは除きました\r\n2 個のファイル"))
        << ::testing::PrintToString(dialogs.messages[1].text);
}

TEST_F(SkipCopiedRunTest, AllCopiedAsksWhetherToCopyAgainWithNoAsDefault)
{
    AddEarlierFile(L"2024_0602", L"100KORVA\\IMG_0002.JPG", 200);
    AddEarlierFile(L"2024_0603", L"100KORVA\\IMG_0003.JPG", 300, kShot - kHour);
    const MessageBoxSpec question{L"このカードのファイルはすべてコピー済みです。\r\nD:\\Photos\\2024_0601\r\n"
                                  L"D:\\Photos\\2024_0602\r\nD:\\Photos\\2024_0603\r\n\r\nもう一度コピーしますか？",
                                  MessageIcon::Question, MessageButtons::YesNo, true, L"コピー"};
    for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        SCOPED_TRACE(answer == MessageAnswer::Yes ? "Yes" : "No");
        dialogs = {};
        shell = {};
        dialogs.AnswerMessage(answer);
        Run();

        ASSERT_FALSE(dialogs.messages.empty());
        EXPECT_EQ(dialogs.messages[0], question);
        if (answer == MessageAnswer::Yes) {
            EXPECT_TRUE(CopiedWholeCard());
            EXPECT_EQ(Texts(), (std::vector<std::wstring>{question.text, L"コピーが完了しました"}));
        } else {
            EXPECT_EQ(dialogs.messages.size(), 1u);
            EXPECT_TRUE(dialogs.prompts.empty());
            EXPECT_TRUE(shell.copies.empty() && shell.listCopies.empty());
        }
    }
}

TEST_F(SkipCopiedRunTest, TheQuestionNamesThreeFoldersThenCountsTheRestAndNamesUnreadableOnes)
{
    for (const wchar_t* folder : {L"2024_0602", L"2024_0603", L"2024_0604", L"2024_0605"})
        AddEarlierFile(folder, L"100KORVA\\IMG_0001.JPG", 100);
    AddEarlierFile(L"2024_0606", L"100KORVA\\IMG_0001.JPG", 100);
    files.unreadable = {L"D:\\Photos\\2024_0606"};
    dialogs.AnswerMessage(MessageAnswer::Cancel);
    Run();

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              L"3 個のファイルのうち 1 個はコピー済みです。\r\nD:\\Photos\\2024_0601\r\nD:\\Photos\\2024_0602\r\n"
              L"D:\\Photos\\2024_0603\r\nほか 2 個のフォルダ\r\n\r\n次のフォルダは読めなかったため、確かめていません："
              L"\r\nD:\\Photos\\2024_0606\r\n\r\n新しい 2 個だけをコピーしますか？\r\n"
              L"（「いいえ」を選ぶと、すべてのファイルをコピーします）");
}

TEST_F(SkipCopiedRunTest, NoQuestionWhenNothingIsCopiedOrTheOptionIsOff)
{
    const struct {
        const char* name;
        bool skipCopied;
        bool earlierCopyDiffers;
        std::size_t waits;
    } cases[] = {
        {"option off, a file copied", false, false, 1},  // the card's listing alone
        {"option on, nothing copied", true, true, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs = {};
        shell = {};
        if (c.earlierCopyDiffers) AddEarlierFile(L"2024_0601", L"100KORVA\\IMG_0001.JPG", 101);
        Run(c.skipCopied);
        EXPECT_EQ(dialogs.waits.size(), c.waits);
        EXPECT_EQ(Texts(), std::vector<std::wstring>{L"コピーが完了しました"});
        EXPECT_TRUE(CopiedWholeCard());
    }
}

TEST_F(SkipCopiedRunTest, EscWhileListingOrLookingEndsTheRunWithNothingCopied)
{
    const struct {
        const char* name;
        std::size_t stoppedWait;
    } cases[] = {
        {"Esc while the card is listed", 1},
        {"Esc while the earlier copies are looked for", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs = {};
        shell = {};
        dialogs.StopWait(c.stoppedWait);
        Run();

        EXPECT_EQ(dialogs.waits.size(), c.stoppedWait);
        EXPECT_TRUE(dialogs.messages.empty());
        EXPECT_TRUE(dialogs.prompts.empty());
        EXPECT_TRUE(shell.copies.empty() && shell.listCopies.empty());
    }
}

}  // namespace
}  // namespace korvane
