#include "core/copy/copy_run.h"

#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "support/fixed_clock.h"
#include "support/memory_file_system.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_shell.h"
#include "support/scripted_verification.h"

namespace korvane {
namespace {

// The run never converts text to bytes; any use of the codec is a fault.
class UnusedCodec : public TextCodec {
public:
    std::wstring Decode(std::string_view) const override
    {
        ADD_FAILURE() << "the copy run decoded bytes";
        return {};
    }
    std::string Encode(std::wstring_view) const override
    {
        ADD_FAILURE() << "the copy run encoded text";
        return {};
    }
};

// Records every look-up and raises a failure for the paths a test names.
class WatchedFileSystem : public testing::MemoryFileSystem {
public:
    std::optional<std::wstring> Lookup(const std::wstring& path, LookupKind kind) const override
    {
        lookups.push_back(path);
        if (auto failure = failingLookups.find(path); failure != failingLookups.end()) {
            throw Failure(failure->second);
        }
        return MemoryFileSystem::Lookup(path, kind);
    }

    TreeListing ListTree(const std::wstring& folder, std::stop_token stop) const override
    {
        listings.push_back(folder);
        return MemoryFileSystem::ListTree(folder, stop);
    }

    std::map<std::wstring, int> failingLookups;
    mutable std::vector<std::wstring> lookups;
    mutable std::vector<std::wstring> listings;  // the folders listed whole
};

const wchar_t kSource[] = L"E:\\DCIM";
const wchar_t kDestination[] = L"D:\\Backup\\";
const wchar_t kTarget[] = L"D:\\Backup\\2027_0302";

// One line per box, so that a whole sequence of boxes compares (and prints) at once.
std::wstring Describe(const MessageBoxSpec& box)
{
    static const wchar_t* const icons[] = {L"none", L"critical", L"exclamation", L"question", L"information"};
    static const wchar_t* const buttons[] = {L"ok", L"yes-no", L"retry-cancel", L"yes-no-cancel"};
    return box.title + L" | " + box.text + L" | " + icons[static_cast<int>(box.icon)] + L" | " +
           buttons[static_cast<int>(box.buttons)] + (box.secondButtonDefault ? L" | second default" : L"");
}

std::vector<std::wstring> Describe(const std::vector<MessageBoxSpec>& boxes)
{
    std::vector<std::wstring> lines;
    for (const auto& box : boxes) lines.push_back(Describe(box));
    return lines;
}

const std::wstring kDoneBox = L"完了 | コピーが完了しました | information | ok";
const std::wstring kFailedQuestionBox =
    L"エラー | コピーは中断または失敗しました\r\n\r\n結果を確認しますか？ | exclamation | yes-no | second default";
const std::wstring kSourceNotReadyBox = L"エラー | コピー元の準備が出来ていません | critical | retry-cancel";
const std::wstring kBadNameBox = L"エラー | 無効なファイル名です | critical | ok";

std::wstring FailureBox(const std::wstring& code)
{
    return L"エラー | コピーに失敗しました\uFF08Err No." + code + L") | exclamation | ok";
}

class CopyRunTest : public ::testing::Test {
protected:
    CopyRunTest()
    {
        files.AddFolder(L"D:\\Backup");
        files.AddFolder(L"E:\\DCIM");
    }

    void Run(const std::wstring& destination = kDestination, const std::wstring& source = kSource,
             const Options& options = {})
    {
        RunCopy(services, &ownerWindow, destination, source, options);
    }

    WatchedFileSystem files;
    UnusedCodec codec;
    testing::ScriptedDialogs dialogs;
    testing::ScriptedShell shell;
    testing::FixedClock clock{{2027, 3, 2}};
    testing::ContentComparer comparer{files};
    testing::ContentCopier copier{files};
    testing::InlineLongWork longWork;
    Services services{files, codec, dialogs, shell, clock, comparer, copier, longWork};
    int ownerWindow = 0;  // stands for the copy window's handle
};

TEST_F(CopyRunTest, AsksForTheNameWithTodayAsDefaultAndCopiesTheWholeSourceIntoIt)
{
    dialogs.AnswerPrompt(L"2027_0302");
    Run();

    ASSERT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_EQ(dialogs.prompts[0].title, L"コピー");
    EXPECT_EQ(dialogs.prompts[0].prompt,
              L"作成するフォルダの名前を入力してください\r\n"
              L"（注）次の文字は使わないでください\r\n"
              L"\u3000\u3000\\/:,;*?\"<>|");
    EXPECT_EQ(dialogs.prompts[0].defaultText, L"2027_0302");
    ASSERT_EQ(shell.copies.size(), 1u);
    EXPECT_EQ(shell.copies[0].owner, &ownerWindow);
    EXPECT_EQ(shell.copies[0].from, L"E:\\DCIM\\*.*");
    EXPECT_EQ(shell.copies[0].to, kTarget);
    EXPECT_EQ(shell.copies[0].collision, CopyCollision::Ask);
    EXPECT_EQ(files.lookups, (std::vector<std::wstring>{kDestination, kSource}));
}

struct OutcomeCase {
    const char* name;
    ShellCopyOutcome shellAnswer;
    MessageAnswer answerToQuestion;
    std::vector<std::wstring> expectedBoxes;
    bool explored;
};

TEST_F(CopyRunTest, ReportsTheOutcomeAndOpensTheTargetWhenDoneOrAskedTo)
{
    const OutcomeCase cases[] = {
        {"success", {0, false}, MessageAnswer::Ok, {kDoneBox}, true},
        {"failure, look", {0x75, false}, MessageAnswer::Yes, {kFailedQuestionBox}, true},
        {"failure, leave", {2, false}, MessageAnswer::No, {kFailedQuestionBox}, false},
        {"cancelled yet 0, look", {0, true}, MessageAnswer::Yes, {kFailedQuestionBox}, true},
        {"cancelled yet 0, leave", {0, true}, MessageAnswer::No, {kFailedQuestionBox}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs = {};
        shell = {};
        dialogs.AnswerPrompt(L"2027_0302");
        dialogs.AnswerMessage(c.answerToQuestion);
        shell.AnswerCopy(c.shellAnswer);
        Run();

        EXPECT_EQ(Describe(dialogs.messages), c.expectedBoxes);
        EXPECT_EQ(shell.copies.size(), 1u);
        if (c.explored) {
            ASSERT_EQ(shell.explorations.size(), 1u);
            EXPECT_EQ(shell.explorations[0].owner, &ownerWindow);
            EXPECT_EQ(shell.explorations[0].folder, kTarget);
        } else {
            EXPECT_TRUE(shell.explorations.empty());
        }
    }
}

TEST(FolderNameForDate, IsYearUnderscoreMonthDayWithLeadingZeros)
{
    const std::pair<LocalDate, std::wstring> cases[] = {
        {{2027, 3, 2}, L"2027_0302"},
        {{2026, 12, 5}, L"2026_1205"},
        {{2030, 10, 31}, L"2030_1031"},
        {{987, 1, 9}, L"0987_0109"},
    };
    for (const auto& [date, name] : cases) EXPECT_EQ(FolderNameForDate(date), name);
}

TEST_F(CopyRunTest, DefaultNameIsTheDateWhenThePromptOpens)
{
    clock.Set({2026, 12, 5});
    Run();
    ASSERT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_EQ(dialogs.prompts[0].defaultText, L"2026_1205");
}

TEST_F(CopyRunTest, MissingDestinationGivesOnlyItsMessage)
{
    Run(L"D:\\Gone\\");

    EXPECT_EQ(Describe(dialogs.messages),
              std::vector<std::wstring>{L"エラー | 保存先のフォルダ：\r\nD:\\Gone\\\r\nは存在しません | exclamation | ok"});
    EXPECT_EQ(files.lookups, std::vector<std::wstring>{L"D:\\Gone\\"});
    EXPECT_TRUE(dialogs.prompts.empty());
    EXPECT_TRUE(shell.copies.empty());
}

TEST_F(CopyRunTest, RetryLooksTheSameSourceUpAgainUntilItIsThere)
{
    files.Remove(kSource);
    dialogs.AnswerMessage(MessageAnswer::Retry);
    dialogs.AnswerMessage(MessageAnswer::Retry, [this] { files.AddFolder(kSource); });
    dialogs.AnswerPrompt(L"2027_0302");
    Run();

    EXPECT_EQ(Describe(dialogs.messages),
              (std::vector<std::wstring>{kSourceNotReadyBox, kSourceNotReadyBox, kDoneBox}));
    EXPECT_EQ(files.lookups, (std::vector<std::wstring>{kDestination, kSource, kSource, kSource}));
    ASSERT_EQ(shell.copies.size(), 1u);
    EXPECT_EQ(shell.copies[0].from, L"E:\\DCIM\\*.*");
}

TEST_F(CopyRunTest, CancelWhileTheSourceIsMissingEndsTheRunSilently)
{
    files.Remove(kSource);
    dialogs.AnswerMessage(MessageAnswer::Cancel);
    Run();

    EXPECT_EQ(Describe(dialogs.messages), std::vector<std::wstring>{kSourceNotReadyBox});
    EXPECT_TRUE(dialogs.prompts.empty());
    EXPECT_TRUE(shell.copies.empty());
}

TEST_F(CopyRunTest, AnEmptyNameEndsTheRunWithoutACopy)
{
    dialogs.AnswerPrompt(L"");  // Cancel, Esc, the close box and an emptied field all give empty text
    Run();

    EXPECT_EQ(dialogs.prompts.size(), 1u);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(shell.copies.empty());
}

TEST_F(CopyRunTest, TheTypedNameIsHandedToTheShellUnchanged)
{
    dialogs.AnswerPrompt(L" 旅行:2027? ");
    Run();

    ASSERT_EQ(shell.copies.size(), 1u);
    EXPECT_EQ(shell.copies[0].to, L"D:\\Backup\\ 旅行:2027? ");
}

TEST_F(CopyRunTest, AFolderNamedWithItsBackslashIsFoundEvenWhenHiddenOrSystem)
{
    const struct {
        const char* name;
        std::wstring destination;
        std::wstring source;
        std::vector<std::wstring> expectedBoxes;
        bool copied;
    } cases[] = {
        {"hidden destination", L"D:\\隠し\\", kSource, {kDoneBox}, true},
        {"system source", kDestination, L"E:\\System\\", {kDoneBox}, true},
        {"hidden destination without backslash",
         L"D:\\隠し",
         kSource,
         {L"エラー | 保存先のフォルダ：\r\nD:\\隠し\r\nは存在しません | exclamation | ok"},
         false},
        {"system source without backslash", kDestination, L"E:\\System", {kSourceNotReadyBox}, false},
    };
    files.AddFolder(L"D:\\隠し", true);
    files.AddFolder(L"E:\\System", false, true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs = {};
        shell = {};
        dialogs.AnswerPrompt(L"2027_0302");  // the Retry box, should it come, is cancelled without a script
        Run(c.destination, c.source);
        EXPECT_EQ(Describe(dialogs.messages), c.expectedBoxes);
        EXPECT_EQ(shell.copies.size(), c.copied ? 1u : 0u);
    }
}

struct FailureCase {
    const char* name;
    std::wstring destination;
    std::map<std::wstring, int> failingLookups;
    std::optional<int> copyFailure;
    std::wstring expectedBox;
};

TEST_F(CopyRunTest, AFailureOnTheWayIsReportedByItsCode)
{
    const FailureCase cases[] = {
        {"malformed destination", L"D:\\Back|up", {}, {}, kBadNameBox},
        {"malformed source", kDestination, {{kSource, 52}}, {}, kBadNameBox},
        {"drive gone at the destination", kDestination, {{kDestination, 71}}, {}, FailureBox(L"71")},
        {"path gone at the source", kDestination, {{kSource, 76}}, {}, FailureBox(L"76")},
        {"failure raised by the copy", kDestination, {}, 76, FailureBox(L"76")},
        {"large code", kDestination, {}, 1002, FailureBox(L"1002")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs = {};
        shell = {};
        files.failingLookups = c.failingLookups;
        dialogs.AnswerPrompt(L"2027_0302");
        if (c.copyFailure) shell.AnswerCopy({}, [code = *c.copyFailure] { throw Failure(code); });
        Run(c.destination);

        EXPECT_EQ(Describe(dialogs.messages), std::vector<std::wstring>{c.expectedBox});
        EXPECT_TRUE(shell.explorations.empty());
    }
}

// The shell copies into the new folder, made before it: given a folder that is not there and a pattern matching
// one item, it would copy that item as the new folder.
TEST_F(CopyRunTest, MakesTheNewFolderBeforeTheCopyAndCopiesIntoOneThatIsThere)
{
    const struct {
        const char* name;
        std::function<void(WatchedFileSystem&)> arrange;
        std::vector<std::wstring> expectedBoxes;
        bool copied;
    } cases[] = {
        {"a new folder", [](WatchedFileSystem&) {}, {kDoneBox}, true},
        {"a folder of that name already there", [](WatchedFileSystem& f) { f.AddFolder(kTarget); }, {kDoneBox}, true},
        {"a file of that name",
         [](WatchedFileSystem& f) { f.AddFile(kTarget, "x"); },
         {L"エラー | 新しいフォルダを作成できませんでした：\r\nD:\\Backup\\2027_0302\r\n"
          L"既に存在するファイルを作成することはできません。 | exclamation | ok"},
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        files = {};
        files.AddFolder(L"D:\\Backup");
        files.AddFolder(kSource);
        c.arrange(files);
        dialogs = {};
        shell = {};
        dialogs.AnswerPrompt(L"2027_0302");
        shell.AnswerCopy({}, [this] {
            const auto* made = files.Find(kTarget);
            EXPECT_TRUE(made != nullptr && made->folder) << "made before the copy";
        });
        Run();

        EXPECT_EQ(files.createdFolders, std::vector<std::wstring>{kTarget});
        EXPECT_EQ(Describe(dialogs.messages), c.expectedBoxes);
        EXPECT_EQ(shell.copies.size(), c.copied ? 1u : 0u);
    }
}

struct JoinCase {
    std::wstring destination;
    std::wstring source;
    std::wstring expectedFrom;
    std::wstring expectedTo;
};

TEST_F(CopyRunTest, JoinsPatternAndTargetWithOneBackslash)
{
    files.AddFolder(L"E:");
    files.AddFolder(L"F:");
    files.AddFolder(L"D:\\Backup\\写真");
    const JoinCase cases[] = {
        {L"D:\\Backup", L"E:\\DCIM", L"E:\\DCIM\\*.*", L"D:\\Backup\\2027_0302"},
        {L"D:\\Backup\\", L"E:\\DCIM\\", L"E:\\DCIM\\*.*", L"D:\\Backup\\2027_0302"},
        {L"D:\\Backup\\写真\\", L"E:\\DCIM", L"E:\\DCIM\\*.*", L"D:\\Backup\\写真\\2027_0302"},
        {L"F:\\", L"E:\\", L"E:\\*.*", L"F:\\2027_0302"},
    };
    for (const auto& c : cases) {
        shell = {};
        dialogs.AnswerPrompt(L"2027_0302");
        Run(c.destination, c.source);
        ASSERT_EQ(shell.copies.size(), 1u) << c.destination;
        EXPECT_EQ(shell.copies[0].from, c.expectedFrom);
        EXPECT_EQ(shell.copies[0].to, c.expectedTo);
    }
}

// The box of a path too long for the shell's copy: the card's own or one the copy would create, and its limit.
std::wstring TooLongBox(const std::wstring& path, std::size_t limit, bool onCard)
{
    const std::wstring kind = limit == 248 ? L"フォルダ" : L"ファイル";
    return std::wstring(L"エラー | ") + (onCard ? L"コピー元の" : L"作成される") +
           L"パスが長すぎるため、コピーできません（" + kind + L"のパスは " + std::to_wstring(limit) +
           L" 文字までです）：\r\n" + path + L"\r\n\r\n" +
           (onCard ? L"カードのフォルダかファイルの名前を短くしてください" : L"保存先か新しいフォルダの名前を短くしてください") +
           L" | exclamation | ok";
}

// The shell's copy takes folder paths of at most 248 characters and file paths of at most 259: the run refuses,
// before copying anything, a copy that would read or create a longer one, and names the first such path.
TEST_F(CopyRunTest, RefusesACopyWhosePathsWouldPassTheShellsLimits)
{
    // A card 30 folders deep, each "\dddddddd": under a 30-character target the 25th level is the first too long.
    const auto levels = [](int count) {
        std::wstring path;
        for (int i = 0; i < count; ++i) path += L"\\dddddddd";
        return path;
    };
    std::vector<std::wstring> deepCard;
    for (int depth = 1; depth <= 30; ++depth) deepCard.push_back(levels(depth).substr(1) + L"\\");
    deepCard.push_back(levels(30).substr(1) + L"\\x.jpg");
    deepCard.push_back(std::wstring(200, L'f') + L".jpg");
    const std::vector<std::wstring> picture = {L"100KORVA\\", L"100KORVA\\IMG_0001.JPG"};
    const std::vector<std::wstring> emptyFolder = {L"100KORVA\\"};
    const struct {
        const char* name;
        std::size_t nameLength;             // of the new folder's name
        std::vector<std::wstring> card;     // below E:\DCIM; a folder ends in "\"
        std::wstring refused;               // the path named; empty when the copy goes ahead
        std::size_t limit = 0;
        bool onCard = false;
        std::wstring destination = kDestination;  // D:\Backup\ is 10 characters
        bool unlistable = false;                  // the card is found but cannot be listed
    } cases[] = {
        {"a file at the limit", 227, picture, L""},
        {"a file one past it", 228, picture, L"D:\\Backup\\" + std::wstring(228, L'n') + L"\\100KORVA\\IMG_0001.JPG", 259},
        {"a folder at the limit", 229, emptyFolder, L""},
        {"a folder one past it", 230, emptyFolder, L"D:\\Backup\\" + std::wstring(230, L'n') + L"\\100KORVA", 248},
        {"the new folder at the limit of an empty card", 238, {}, L""},
        {"the new folder one past it", 239, {}, L"D:\\Backup\\" + std::wstring(239, L'n'), 248},
        {"a name alone past every limit", 300, picture, L"D:\\Backup\\" + std::wstring(300, L'n'), 248},
        {"a deep card", 20, deepCard, L"D:\\Backup\\" + std::wstring(20, L'n') + levels(25), 248},
        {"a card file at the limit", 1, {std::wstring(251, L'f')}, L"", 0, false, L"D:\\"},
        {"a card file one past it", 1, {std::wstring(252, L'f')}, L"E:\\DCIM\\" + std::wstring(252, L'f'), 259, true,
         L"D:\\"},
        {"a card folder one past it", 1, {std::wstring(241, L'f') + L"\\"}, L"E:\\DCIM\\" + std::wstring(241, L'f'),
         248, true, L"D:\\"},
        // What cannot be listed is left to the shell, which reports it as it copies.
        {"a card that cannot be listed", 300, picture, L"D:\\Backup\\" + std::wstring(300, L'n'), 248, false,
         kDestination, true},
        {"a card that cannot be listed, a short name", 20, picture, L"", 0, false, kDestination, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        files = {};
        files.AddFolder(L"D:");
        files.AddFolder(L"D:\\Backup");
        files.AddFolder(kSource);
        for (const std::wstring& entry : c.card) {
            const std::wstring path = std::wstring(kSource) + L"\\" + entry;
            if (entry.ends_with(L'\\')) {
                files.AddFolder(path);
            } else {
                files.AddFile(path, "jpeg");
            }
        }
        if (c.unlistable) files.unreadable = {kSource};
        dialogs = {};
        shell = {};
        const std::wstring name(c.nameLength, L'n');
        dialogs.AnswerPrompt(name);
        Run(c.destination);

        if (c.refused.empty()) {
            EXPECT_EQ(Describe(dialogs.messages), std::vector{kDoneBox});
            EXPECT_EQ(shell.copies.size(), 1u);
            continue;
        }
        EXPECT_EQ(Describe(dialogs.messages), std::vector{TooLongBox(c.refused, c.limit, c.onCard)});
        EXPECT_TRUE(shell.copies.empty());
        EXPECT_TRUE(files.createdFolders.empty());
        EXPECT_TRUE(shell.explorations.empty());
    }
}

// A copy run with the verified copy on: the card E:\DCIM holds a picture below a sub-folder and a hidden file;
// the shell's copy puts the same files below the target, where the case may spoil them.
class VerifiedCopyRunTest : public CopyRunTest {
public:
    using CopyRunTest::files;
    using CopyRunTest::longWork;

    VerifiedCopyRunTest()
    {
        AddCard();
        dialogs.AnswerPrompt(L"2027_0302");
    }

    void AddCard()
    {
        files.AddFolder(kSource);
        files.AddFolder(L"E:\\DCIM\\100写真");
        files.AddFile(L"E:\\DCIM\\100写真\\IMG_0001.JPG", std::string(1500, 'p'));
        files.AddFile(L"E:\\DCIM\\.index", "idx", true);
    }

    // The shell's copy succeeds and has copied the card; `spoil` then changes what it copied.
    void CopyThen(std::function<void()> spoil = {})
    {
        shell.AnswerCopy({0, false}, [this, spoil] {
            files.AddFolder(kTarget);
            files.AddFolder(std::wstring(kTarget) + L"\\100写真");
            files.AddFile(std::wstring(kTarget) + L"\\100写真\\IMG_0001.JPG", std::string(1500, 'p'));
            files.AddFile(std::wstring(kTarget) + L"\\.index", "idx", true);
            files.AddFile(std::wstring(kTarget) + L"\\only in the copy.txt", "new");
            if (spoil) spoil();
        });
    }

    void RunVerified() { Run(kDestination, kSource, {.verify = true}); }
};

struct VerifiedOutcomeCase {
    const char* id;
    std::function<void(VerifiedCopyRunTest&)> arrange;
    MessageAnswer answer;
    std::wstring box;
    bool explored;
};

void PrintTo(const VerifiedOutcomeCase& c, std::ostream* out) { *out << c.id; }

std::vector<VerifiedOutcomeCase> VerifiedOutcomeCases()
{
    const std::wstring done = L"完了 | コピーが完了しました\r\n2 個のファイル（1.46 KB）を照合しました | information | ok";
    const std::wstring differs =
        L"エラー | コピーしたファイルを照合したところ、問題が見つかりました：\r\n内容が異なるファイル：1 個\r\n\r\n"
        L"100写真\\IMG_0001.JPG（内容が異なります）\r\n\r\n結果を確認しますか？ | exclamation | yes-no | second default";
    const std::wstring cancelled =
        L"完了 | コピーが完了しました\r\n照合は取り消されました（2 個のうち 0 個のファイル、1.46 KB のうち 3 バイト"
        L" を照合しました） | information | ok";
    const std::wstring differsThenCancelled =
        L"エラー | コピーしたファイルを照合したところ、問題が見つかりました：\r\n内容が異なるファイル：1 個\r\n\r\n"
        L".index（内容が異なります）\r\n\r\n照合は取り消されました（2 個のうち 1 個のファイル、1.46 KB のうち 3 バイト"
        L" を照合しました）\r\n\r\n結果を確認しますか？ | exclamation | yes-no | second default";
    const std::wstring cardGone =
        L"エラー | コピーしたファイルを照合したところ、問題が見つかりました：\r\n読めなかったファイル：2 個\r\n\r\n"
        L".index（読めません）\r\n100写真\\IMG_0001.JPG（読めません）\r\n\r\n結果を確認しますか？ | exclamation | "
        L"yes-no | second default";
    const std::wstring unlisted = L"エラー | コピー元を読めないため、コピーしたファイルを照合できませんでした：\r\n"
                                  L"E:\\DCIM\r\nアクセスが拒否されました。\r\n\r\n結果を確認しますか？ | exclamation | "
                                  L"yes-no | second default";
    const std::wstring unlistedFolder = L"エラー | コピー元を読めないため、コピーしたファイルを照合できませんでした：\r\n"
                                        L"E:\\DCIM\\100写真\r\n\r\n結果を確認しますか？ | exclamation | yes-no | second default";
    const auto flip = [](VerifiedCopyRunTest& t) {
        t.CopyThen([&t] { t.files.AddFile(std::wstring(kTarget) + L"\\100写真\\IMG_0001.JPG", std::string(1500, 'q')); });
    };
    return {
        {"AllEqual", [](VerifiedCopyRunTest& t) { t.CopyThen(); }, MessageAnswer::Ok, done, true},
        {"ByteFlippedLook", flip, MessageAnswer::Yes, differs, true},
        {"ByteFlippedLeave", flip, MessageAnswer::No, differs, false},
        {"CancelledPartWay",
         [](VerifiedCopyRunTest& t) {
             t.CopyThen();
             t.longWork.cancelAtReport = 2;
         },
         MessageAnswer::Ok, cancelled, true},
        {"DifferenceThenCancelled",
         [](VerifiedCopyRunTest& t) {
             t.CopyThen([&t] { t.files.AddFile(std::wstring(kTarget) + L"\\.index", "IDX", true); });
             t.longWork.cancelAtReport = 2;  // once the first file is reported, before the second
         },
         MessageAnswer::No, differsThenCancelled, false},
        // The plan's files are opened again: a card pulled after the copy cannot be read.
        {"CardGoneAfterTheCopy",
         [](VerifiedCopyRunTest& t) {
             t.CopyThen([&t] {
                 t.files.Remove(L"E:\\DCIM\\.index");
                 t.files.Remove(L"E:\\DCIM\\100写真\\IMG_0001.JPG");
                 t.files.Remove(kSource);
             });
         },
         MessageAnswer::Yes, cardGone, true},
        {"CardUnlistable", [](VerifiedCopyRunTest& t) {
             t.files.unreadable.push_back(kSource);
             t.CopyThen();
         },
         MessageAnswer::Yes, unlisted, true},
        {"SubfolderUnreadable",
         [](VerifiedCopyRunTest& t) {
             t.files.unreadable.push_back(L"E:\\DCIM\\100写真");
             t.CopyThen();
         },
         MessageAnswer::No, unlistedFolder, false},
    };
}

class VerifiedOutcomeTest : public VerifiedCopyRunTest, public ::testing::WithParamInterface<VerifiedOutcomeCase> {};

TEST_P(VerifiedOutcomeTest, ComparesEveryCopiedFileBeforeTheOutcomeAndSaysWhatItFound)
{
    const VerifiedOutcomeCase& c = GetParam();
    c.arrange(*this);
    dialogs.AnswerMessage(c.answer);
    RunVerified();

    EXPECT_EQ(Describe(dialogs.messages), std::vector<std::wstring>{c.box});
    EXPECT_EQ(shell.explorations.size(), c.explored ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, VerifiedOutcomeTest, ::testing::ValuesIn(VerifiedOutcomeCases()),
                         [](const auto& info) { return std::string(info.param.id); });

TEST_F(VerifiedCopyRunTest, PassRunsBehindTheCopyWindowOverTheSourcesFilesOnly)
{
    CopyThen();
    RunVerified();
    EXPECT_EQ(longWork.owners, std::vector<WindowHandle>{&ownerWindow});
    ASSERT_EQ(comparer.comparedPairs.size(), 2u);
    EXPECT_EQ(comparer.comparedPairs[0].copy, L"D:\\Backup\\2027_0302\\.index");
    EXPECT_EQ(comparer.comparedPairs[1].original, L"E:\\DCIM\\100写真\\IMG_0001.JPG");
    EXPECT_EQ(comparer.comparedPairs[1].copy, L"D:\\Backup\\2027_0302\\100写真\\IMG_0001.JPG");
}

// Every step reads the one listing of the card made before the copy.
TEST_F(VerifiedCopyRunTest, TheCardIsListedOnceBehindTheCopyWindowsWaitWhateverTheOptions)
{
    const struct {
        const char* name;
        Options options;
        std::vector<std::wstring> listings;
    } cases[] = {
        {"plain copy", {}, {kSource}},
        {"verified copy", {.verify = true}, {kSource}},
        {"files copied already looked for", {.skipCopied = true}, {kSource}},
        {"both, with an earlier copy", {.verify = true, .skipCopied = true}, {kSource, L"D:\\Backup\\2027_0301"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        files = {};
        files.AddFolder(L"D:\\Backup");
        if (c.listings.size() > 1) files.AddFolder(L"D:\\Backup\\2027_0301");
        AddCard();
        dialogs = {};
        shell = {};
        dialogs.AnswerPrompt(L"2027_0302");
        CopyThen();
        Run(kDestination, kSource, c.options);

        EXPECT_EQ(files.listings, c.listings);
        EXPECT_EQ(dialogs.waits.front(), &ownerWindow);
        EXPECT_EQ(files.createdFolders, std::vector<std::wstring>{kTarget});
        EXPECT_EQ(shell.copies.size(), 1u);
    }
}

TEST_F(VerifiedCopyRunTest, NoPassWithoutTheOptionOrAfterAFailedCopy)
{
    CopyThen();
    Run();
    EXPECT_EQ(Describe(dialogs.messages), std::vector<std::wstring>{kDoneBox});

    dialogs.AnswerPrompt(L"2027_0302");
    dialogs.AnswerMessage(MessageAnswer::No);
    shell.AnswerCopy({2, false});
    RunVerified();
    EXPECT_EQ(Describe(dialogs.messages).back(), kFailedQuestionBox);
    EXPECT_EQ(comparer.runs, 0);
    EXPECT_TRUE(longWork.designs.empty());
}

// The program's own copy (ReadCardOnce=1): a card of two files and an empty folder, copied into the new folder.
class OwnCopyRunTest : public CopyRunTest {
public:
    // For the cases' arrangements.
    using CopyRunTest::copier;
    using CopyRunTest::dialogs;
    using CopyRunTest::files;
    using CopyRunTest::longWork;

    OwnCopyRunTest()
    {
        files.AddFile(L"E:\\DCIM\\a.jpg", std::string(1000, 'a'));
        files.AddFolder(L"E:\\DCIM\\100写真");
        files.AddFile(L"E:\\DCIM\\100写真\\b.jpg", std::string(500, 'b'));
        files.AddFolder(L"E:\\DCIM\\空");
        dialogs.AnswerPrompt(L"2027_0302");
    }

    void RunOwn(bool verify = false)
    {
        Run(kDestination, kSource, {.verify = verify, .readCardOnce = true});
    }

    std::wstring Target(const std::wstring& relative) const { return std::wstring(kTarget) + L"\\" + relative; }
};

TEST_F(OwnCopyRunTest, CopiesTheFoldersThenTheFilesByItselfBehindItsProgressWindow)
{
    RunOwn(true);

    EXPECT_TRUE(shell.copies.empty()) << "not the shell's copy";
    EXPECT_EQ(comparer.runs, 0) << "no second read of the card";
    ASSERT_EQ(copier.jobs.size(), 1u);
    const CopyJob& job = copier.jobs[0];
    std::vector<std::wstring> entries;
    for (const CopyEntry& entry : job.entries)
        entries.push_back(entry.source + L" > " + entry.relativePath + (entry.isFolder ? L"\\" : L""));
    std::sort(entries.begin(), entries.begin() + 2);  // the folders, in the listing's order
    std::sort(entries.begin() + 2, entries.end());    // the files
    EXPECT_EQ(entries, (std::vector<std::wstring>{L"E:\\DCIM\\100写真 > 100写真\\", L"E:\\DCIM\\空 > 空\\",
                                                  L"E:\\DCIM\\100写真\\b.jpg > 100写真\\b.jpg",
                                                  L"E:\\DCIM\\a.jpg > a.jpg"}));
    EXPECT_EQ(job.targets, std::vector<std::wstring>{kTarget});
    EXPECT_TRUE(job.check);
    ASSERT_NE(files.Find(Target(L"100写真\\b.jpg")), nullptr);
    EXPECT_NE(files.Find(Target(L"空")), nullptr);
    ASSERT_EQ(longWork.designs.size(), 1u);
    EXPECT_EQ(longWork.designs[0].title, L"カードからコピー");
    EXPECT_EQ(longWork.designs[0].caption, L"カードを一度だけ読んでコピーし、照合しています：");
    EXPECT_EQ(longWork.designs[0].total, 3000u) << "each byte copied and checked";
    ASSERT_FALSE(longWork.reports.empty());
    EXPECT_EQ(longWork.reports.back().done, 3000u);
    EXPECT_EQ(Describe(dialogs.messages),
              std::vector<std::wstring>{L"完了 | コピーが完了しました\r\n2 個のファイル（1.46 KB）をカードのチェックサムと"
                                        L"照合しました | information | ok"});
    EXPECT_EQ(shell.explorations.size(), 1u);
}

struct OwnOutcomeCase {
    const char* id;
    bool verify;
    std::function<void(OwnCopyRunTest&)> arrange;
    std::wstring box;
    std::size_t explorations;  // the question's No, the default, opens nothing
};

void PrintTo(const OwnOutcomeCase& c, std::ostream* out) { *out << c.id; }

std::vector<OwnOutcomeCase> OwnOutcomeCases()
{
    const std::wstring see = L"\r\n\r\n結果を確認しますか？ | exclamation | yes-no | second default";
    return {
        {"PlainCopy", false, [](OwnCopyRunTest&) {}, L"完了 | コピーが完了しました | information | ok", 1},
        {"CardFileUnreadable", true,
         [](OwnCopyRunTest& t) { t.copier.unreadable[L"E:\\DCIM\\a.jpg"] = L"CRC エラーです。"; },
         L"エラー | コピーしたファイルをカードのチェックサムと照合したところ、問題が見つかりました：\r\n"
         L"読めなかったファイル：1 個\r\n\r\na.jpg（読めません：CRC エラーです。）" + see, 0},
        {"CopyDiffers", true,
         [](OwnCopyRunTest& t) { t.copier.copyResults[L"100写真\\b.jpg"] = {ComparisonResult::Differs, {}}; },
         L"エラー | コピーしたファイルをカードのチェックサムと照合したところ、問題が見つかりました：\r\n"
         L"内容が異なるファイル：1 個\r\n\r\n100写真\\b.jpg（内容が異なります）" + see, 0},
        {"FileNotWritten", false,
         [](OwnCopyRunTest& t) {
             t.copier.copyResults[L"a.jpg"] = {ComparisonResult::Unreadable, L"アクセスが拒否されました。"};
         },
         L"エラー | コピーできなかったファイルがあります：\r\n読めなかったファイル：1 個\r\n\r\n"
         L"a.jpg（読めません：アクセスが拒否されました。）" + see, 0},
        {"DiskFull", false, [](OwnCopyRunTest& t) { t.copier.diskFullAt = 3; },
         L"エラー | 保存先のディスクがいっぱいになったため、コピーを中止しました：\r\nD:\\Backup\\2027_0302\r\n"
         L"ディスクに十分な空き領域がありません。" + see, 0},
        {"Cancelled", false, [](OwnCopyRunTest& t) { t.longWork.cancelAtReport = 3; },
         L"エラー | コピーは中断または失敗しました\r\nコピーは取り消されました（2 個のうち 0 個のファイル、1.46 KB のうち"
         L" 0 バイト をコピーしました）" + see, 0},
    };
}

class OwnOutcomeTest : public OwnCopyRunTest, public ::testing::WithParamInterface<OwnOutcomeCase> {};

TEST_P(OwnOutcomeTest, SaysWhatTheCopyFoundInTheVerificationsBoxes)
{
    GetParam().arrange(*this);
    RunOwn(GetParam().verify);

    EXPECT_EQ(Describe(dialogs.messages), std::vector<std::wstring>{GetParam().box});
    EXPECT_EQ(shell.explorations.size(), GetParam().explorations);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, OwnOutcomeTest, ::testing::ValuesIn(OwnOutcomeCases()),
                         [](const auto& info) { return std::string(info.param.id); });

struct BeforeCopyCase {
    const char* id;
    std::function<void(OwnCopyRunTest&)> arrange;
    std::vector<std::wstring> boxes;
    std::vector<std::wstring> copied;  // relative paths of the files of the job; none when nothing is copied
    bool targetThere;                  // the new folder, made for the copy or there before
};

void PrintTo(const BeforeCopyCase& c, std::ostream* out) { *out << c.id; }

std::vector<BeforeCopyCase> BeforeCopyCases()
{
    const std::wstring done = L"完了 | コピーが完了しました | information | ok";
    const std::wstring there =
        L"確認 | 新しいフォルダには、コピーするファイルと同じ名前のファイルが 1 個あります：\r\n\r\na.jpg\r\n\r\n"
        L"すべて上書きしますか？\r\n「いいえ」を選ぶと、これらのファイルは残し、コピーしません。 | question | yes-no-cancel";
    const auto fileThere = [](MessageAnswer answer) {
        return [answer](OwnCopyRunTest& t) {
            t.files.AddFolder(kTarget);
            t.files.AddFile(t.Target(L"A.JPG"), "old");  // the same name to Windows
            t.dialogs.AnswerMessage(answer);
        };
    };
    return {
        {"RoomForEveryByte", [](OwnCopyRunTest& t) { t.files.freeBytes = 1500; }, {done},
         {L"100写真\\b.jpg", L"a.jpg"}, true},
        {"NoRoom", [](OwnCopyRunTest& t) { t.files.freeBytes = 1499; },
         {L"エラー | 保存先のディスクの空き容量が足りないため、コピーできません：\r\nD:\\Backup\r\n\r\n"
          L"コピーするファイル：1.46 KB\r\n空き容量：1.46 KB | critical | ok"},
         {},
         false},
        {"FileThereOverwritten", fileThere(MessageAnswer::Yes), {there, done}, {L"100写真\\b.jpg", L"a.jpg"}, true},
        {"FileThereKept", fileThere(MessageAnswer::No), {there, done}, {L"100写真\\b.jpg"}, true},
        {"FileThereCancel", fileThere(MessageAnswer::Cancel), {there}, {}, true},
        // The files of a folder that could not be listed would be left out unseen.
        {"FolderUnlisted", [](OwnCopyRunTest& t) { t.files.unreadable.push_back(L"E:\\DCIM\\100写真"); },
         {L"エラー | コピー元の一部を読めないため、コピーできません：\r\nE:\\DCIM\\100写真 | critical | ok"},
         {},
         false},
    };
}

class BeforeOwnCopyTest : public OwnCopyRunTest, public ::testing::WithParamInterface<BeforeCopyCase> {};

TEST_P(BeforeOwnCopyTest, ChecksRoomAndFilesThereBeforeCopyingAnything)
{
    GetParam().arrange(*this);
    RunOwn();

    EXPECT_EQ(Describe(dialogs.messages), GetParam().boxes);
    std::vector<std::wstring> copied;
    for (const CopyJob& job : copier.jobs) {
        for (const CopyEntry& entry : job.entries) {
            if (!entry.isFolder) copied.push_back(entry.relativePath);
        }
    }
    std::sort(copied.begin(), copied.end());
    EXPECT_EQ(copied, GetParam().copied);
    EXPECT_EQ(copier.jobs.empty(), GetParam().copied.empty());
    EXPECT_EQ(files.Find(kTarget) != nullptr, GetParam().targetThere) << "nothing made before the checks";
}

INSTANTIATE_TEST_SUITE_P(Checks, BeforeOwnCopyTest, ::testing::ValuesIn(BeforeCopyCases()),
                         [](const auto& info) { return std::string(info.param.id); });

// With a backup folder (Options::backupFolder): the card into a new folder of the same name below the destination
// and below the backup folder. F: is another disk.
const wchar_t kBackup[] = L"F:\\Backup";
const wchar_t kBackupTarget[] = L"F:\\Backup\\2027_0302";
const std::wstring kBothFoldersDone =
    L"完了 | コピーが完了しました\r\n保存先：D:\\Backup\\2027_0302\r\nバックアップ：F:\\Backup\\2027_0302";

struct BackupCheckCase {
    const char* id;
    std::wstring backup;
    std::function<void(WatchedFileSystem&, testing::ScriptedDialogs&)> arrange;
    std::vector<std::wstring> boxes;
    std::vector<std::wstring> copiedTo;  // the shell's copies' targets; none when nothing is copied
};

void PrintTo(const BackupCheckCase& c, std::ostream* out) { *out << c.id; }

std::vector<BackupCheckCase> BackupCheckCases()
{
    const auto nothing = [](WatchedFileSystem&, testing::ScriptedDialogs&) {};
    const auto answer = [](MessageAnswer a) {
        return [a](WatchedFileSystem&, testing::ScriptedDialogs& d) { d.AnswerMessage(a); };
    };
    const std::wstring missing = L"確認 | バックアップ先のフォルダ：\r\nG:\\Backup\r\nは存在しません\r\n\r\n"
                                 L"保存先だけにコピーしますか？ | exclamation | yes-no | second default";
    const auto refused = [](const std::wstring& why, const std::wstring& folder, const std::wstring& more = {}) {
        return L"エラー | バックアップ先のフォルダが" + why + L"ため、コピーできません：\r\n" + folder + more +
               L" | critical | ok";
    };
    const std::wstring otherDisk = L"\r\n\r\nカードとは別のディスクのフォルダを選んでください";
    return {
        {"None", L"", nothing, {kDoneBox}, {kTarget}},
        {"AnotherDisk", kBackup, nothing, {kBothFoldersDone + L" | information | ok"}, {kTarget, kBackupTarget}},
        {"MissingNo", L"G:\\Backup", answer(MessageAnswer::No), {missing}, {}},
        {"MissingYesCopiesToTheDestinationAlone", L"G:\\Backup", answer(MessageAnswer::Yes), {missing, kDoneBox},
         {kTarget}},
        {"TheDestinationItself", L"d:\\BACKUP", nothing, {refused(L"保存先と同じ", L"d:\\BACKUP")}, {}},
        {"TheDestinationByAnotherName", L"F:\\Mirror",
         [](WatchedFileSystem& f, testing::ScriptedDialogs&) { f.Link(L"F:\\Mirror", L"D:\\Backup"); },
         {refused(L"保存先と同じ", L"F:\\Mirror")}, {}},
        {"InTheCardsFolder", L"E:\\DCIM\\bk\\", nothing, {refused(L"コピー元の中にある", L"E:\\DCIM\\bk\\")}, {}},
        {"TheCardsFolderItself", L"e:\\dcim", nothing, {refused(L"コピー元の中にある", L"e:\\dcim")}, {}},
        {"InTheCardByAnotherName", L"F:\\Card\\bk",
         [](WatchedFileSystem& f, testing::ScriptedDialogs&) {
             f.Link(L"F:\\Card", L"E:\\DCIM");
             f.AddFolder(L"F:\\Card\\bk");
         },
         {refused(L"コピー元の中にある", L"F:\\Card\\bk")}, {}},
        {"OnTheCardsDrive", L"E:\\Backup",
         [](WatchedFileSystem& f, testing::ScriptedDialogs&) { f.AddFolder(L"E:\\Backup"); },
         {refused(L"コピー元と同じドライブにある", L"E:\\Backup", otherDisk)}, {}},
        {"ANameTheFileSystemRefuses", L"G:\\a|b", nothing,
         {L"エラー | バックアップ先のフォルダを確かめられないため、コピーできません：\r\nG:\\a|b | critical | ok"}, {}},
    };
}

class BackupCheckTest : public CopyRunTest, public ::testing::WithParamInterface<BackupCheckCase> {};

TEST_P(BackupCheckTest, RefusesOrAsksBeforeAnythingIsCopied)
{
    const BackupCheckCase& c = GetParam();
    files.AddFolder(kBackup);
    files.AddFile(L"E:\\DCIM\\a.jpg", "a");
    c.arrange(files, dialogs);
    dialogs.AnswerPrompt(L"2027_0302");
    Run(kDestination, kSource, {.backupFolder = c.backup});

    EXPECT_EQ(Describe(dialogs.messages), c.boxes);
    std::vector<std::wstring> copiedTo;
    for (const auto& copy : shell.copies) copiedTo.push_back(copy.to);
    EXPECT_EQ(copiedTo, c.copiedTo);
    EXPECT_EQ(files.createdFolders, c.copiedTo) << "no new folder before the checks";
    if (c.copiedTo.empty()) {
        EXPECT_TRUE(files.listings.empty()) << "the card not even listed";
    }
}

INSTANTIATE_TEST_SUITE_P(Checks, BackupCheckTest, ::testing::ValuesIn(BackupCheckCases()),
                         [](const auto& info) { return std::string(info.param.id); });

// The shell's copy makes the second copy from the card too, and the verification checks both copies.
class ShellBackupTest : public VerifiedCopyRunTest {
protected:
    ShellBackupTest() { files.AddFolder(kBackup); }

    // Each shell copy puts the card's two files into the folder it copies to; `spoil` then changes the backup's.
    void CopyBoth(std::function<void()> spoil = {})
    {
        for (const std::wstring target : {kTarget, kBackupTarget}) {
            shell.AnswerCopy({0, false}, [this, target, spoil] {
                files.AddFile(target + L"\\100写真\\IMG_0001.JPG", std::string(1500, 'p'));
                files.AddFile(target + L"\\.index", "idx", true);
                if (spoil && target == kBackupTarget) spoil();
            });
        }
    }
};

TEST_F(ShellBackupTest, CopiesFromTheCardIntoBothNewFoldersAndChecksEachCopy)
{
    CopyBoth();
    Run(kDestination, kSource, {.verify = true, .backupFolder = std::wstring(kBackup) + L"\\"});

    ASSERT_EQ(shell.copies.size(), 2u);
    EXPECT_EQ(shell.copies[1].from, L"E:\\DCIM\\*.*") << "from the card, not from the first copy";
    EXPECT_EQ(shell.copies[1].to, kBackupTarget);
    std::vector<std::wstring> checked;
    for (const FilePair& pair : comparer.comparedPairs) checked.push_back(pair.original + L" > " + pair.copy);
    EXPECT_EQ(checked, (std::vector<std::wstring>{
                           L"E:\\DCIM\\.index > D:\\Backup\\2027_0302\\.index",
                           L"E:\\DCIM\\100写真\\IMG_0001.JPG > D:\\Backup\\2027_0302\\100写真\\IMG_0001.JPG",
                           L"E:\\DCIM\\.index > F:\\Backup\\2027_0302\\.index",
                           L"E:\\DCIM\\100写真\\IMG_0001.JPG > F:\\Backup\\2027_0302\\100写真\\IMG_0001.JPG"}));
    EXPECT_EQ(Describe(dialogs.messages),
              std::vector<std::wstring>{kBothFoldersDone + L"\r\n2 個のファイル（1.46 KB）を照合しました | information | ok"});
    ASSERT_EQ(shell.explorations.size(), 1u);
    EXPECT_EQ(shell.explorations[0].folder, kTarget) << "the destination's new folder";
}

TEST_F(ShellBackupTest, AByteSpoiltInTheBackupIsNamedForTheBackupAlone)
{
    CopyBoth([this] { files.AddFile(std::wstring(kBackupTarget) + L"\\.index", "IDX", true); });
    dialogs.AnswerMessage(MessageAnswer::No);
    Run(kDestination, kSource, {.verify = true, .backupFolder = kBackup});

    EXPECT_EQ(Describe(dialogs.messages),
              std::vector<std::wstring>{
                  L"エラー | コピーしたファイルを照合したところ、問題が見つかりました：\r\n\r\n"
                  L"保存先：D:\\Backup\\2027_0302\r\n問題はありません\r\n\r\n"
                  L"バックアップ：F:\\Backup\\2027_0302\r\n内容が異なるファイル：1 個\r\n\r\n.index（内容が異なります）"
                  L"\r\n\r\n結果を確認しますか？ | exclamation | yes-no | second default"});
}

TEST_F(ShellBackupTest, AFailedFirstCopyMakesNoSecond)
{
    shell.AnswerCopy({2, false});
    dialogs.AnswerMessage(MessageAnswer::No);
    Run(kDestination, kSource, {.backupFolder = kBackup});
    EXPECT_EQ(shell.copies.size(), 1u);
    EXPECT_EQ(Describe(dialogs.messages), std::vector<std::wstring>{kFailedQuestionBox});
}

TEST_F(ShellBackupTest, ThePathCheckCoversTheBackupsNewFolder)
{
    const std::wstring deep = L"F:\\" + std::wstring(235, L'b');
    files.AddFolder(deep);
    Run(kDestination, kSource, {.backupFolder = deep});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find(deep + L"\\2027_0302\\100写真"), std::wstring::npos)
        << Describe(dialogs.messages[0]);
    EXPECT_TRUE(shell.copies.empty());
    EXPECT_TRUE(files.createdFolders.empty());
}

// The program's own copy writes both new folders from the one read of the card.
class OwnBackupTest : public OwnCopyRunTest {
protected:
    OwnBackupTest() { files.AddFolder(kBackup); }
    void RunWithBackup(bool verify, const std::wstring& backup = kBackup)
    {
        Run(kDestination, kSource, {.verify = verify, .readCardOnce = true, .backupFolder = backup});
    }
};

TEST_F(OwnBackupTest, OneJobWritesBothNewFoldersAndTheBoxNamesThem)
{
    RunWithBackup(true);

    ASSERT_EQ(copier.jobs.size(), 1u) << "the card read once";
    EXPECT_EQ(copier.jobs[0].targets, (std::vector<std::wstring>{kTarget, kBackupTarget}));
    EXPECT_TRUE(shell.copies.empty());
    EXPECT_NE(files.Find(std::wstring(kBackupTarget) + L"\\100写真\\b.jpg"), nullptr);
    EXPECT_NE(files.Find(std::wstring(kBackupTarget) + L"\\空"), nullptr);
    ASSERT_EQ(longWork.designs.size(), 1u);
    EXPECT_EQ(longWork.designs[0].total, 3000u) << "each byte copied to both and checked in both";
    EXPECT_EQ(longWork.reports.back().done, 3000u);
    EXPECT_EQ(Describe(dialogs.messages),
              std::vector<std::wstring>{kBothFoldersDone +
                                        L"\r\n2 個のファイル（1.46 KB）をカードのチェックサムと照合しました | information | ok"});
    ASSERT_EQ(shell.explorations.size(), 1u);
    EXPECT_EQ(shell.explorations[0].folder, kTarget);
}

struct OwnBackupCase {
    const char* id;
    std::function<void(OwnCopyRunTest&)> arrange;
    std::wstring backup;
    std::wstring box;
    bool copied;
};

void PrintTo(const OwnBackupCase& c, std::ostream* out) { *out << c.id; }

std::vector<OwnBackupCase> OwnBackupCases()
{
    const std::wstring see = L"\r\n\r\n結果を確認しますか？ | exclamation | yes-no | second default";
    const std::wstring heading = L"エラー | コピーしたファイルをカードのチェックサムと照合したところ、問題が見つかりました：";
    const auto noRoom = [](const std::wstring& destination, const std::wstring& needed, const std::wstring& free) {
        return L"エラー | 保存先のディスクの空き容量が足りないため、コピーできません：\r\n" + destination +
               L"\r\n\r\nコピーするファイル：" + needed + L"\r\n空き容量：" + free + L" | critical | ok";
    };
    return {
        {"BackupDiffers",
         [](OwnCopyRunTest& t) {
             t.copier.copyResults[std::wstring(kBackupTarget) + L"\\a.jpg"] = {ComparisonResult::Differs, {}};
         },
         kBackup,
         heading + L"\r\n\r\n保存先：D:\\Backup\\2027_0302\r\n問題はありません\r\n\r\nバックアップ：F:\\Backup\\2027_0302"
                   L"\r\n内容が異なるファイル：1 個\r\n\r\na.jpg（内容が異なります）" + see,
         true},
        {"CardUnreadableInBoth",
         [](OwnCopyRunTest& t) { t.copier.unreadable[L"E:\\DCIM\\a.jpg"] = L"CRC エラーです。"; },
         kBackup,
         heading + L"\r\n\r\n保存先：D:\\Backup\\2027_0302\r\n読めなかったファイル：1 個\r\n\r\na.jpg（読めません：CRC エラーです。）"
                   L"\r\n\r\nバックアップ：F:\\Backup\\2027_0302\r\n読めなかったファイル：1 個\r\n\r\n"
                   L"a.jpg（読めません：CRC エラーです。）" + see,
         true},
        {"NoRoomOnTheBackupsDisk", [](OwnCopyRunTest& t) { t.files.freeBytesOfDrive[L'f'] = 1499; }, kBackup,
         noRoom(kBackup, L"1.46 KB", L"1.46 KB"), false},
        {"BothOnOneDiskNeedTwiceTheBytes",
         [](OwnCopyRunTest& t) {
             t.files.AddFolder(L"D:\\Mirror");
             t.files.freeBytesOfDrive[L'd'] = 1500 + 1499;
         },
         L"D:\\Mirror", noRoom(L"D:\\Backup", L"2.92 KB", L"2.92 KB"), false},
    };
}

class OwnBackupOutcomeTest : public OwnBackupTest, public ::testing::WithParamInterface<OwnBackupCase> {};

TEST_P(OwnBackupOutcomeTest, SaysForEachCopyWhatWasFound)
{
    GetParam().arrange(*this);
    RunWithBackup(true, GetParam().backup);
    EXPECT_EQ(Describe(dialogs.messages), std::vector<std::wstring>{GetParam().box});
    EXPECT_EQ(copier.jobs.size(), GetParam().copied ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Outcomes, OwnBackupOutcomeTest, ::testing::ValuesIn(OwnBackupCases()),
                         [](const auto& info) { return std::string(info.param.id); });

TEST_F(OwnBackupTest, AFileAlreadyInTheBackupsNewFolderIsAskedAbout)
{
    files.AddFolder(kBackupTarget);
    files.AddFile(std::wstring(kBackupTarget) + L"\\a.jpg", "old");
    dialogs.AnswerMessage(MessageAnswer::Cancel);
    RunWithBackup(false);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find(L"同じ名前のファイルが 1 個あります：\r\n\r\na.jpg"), std::wstring::npos);
    EXPECT_TRUE(copier.jobs.empty());
}

}  // namespace
}  // namespace korvane
