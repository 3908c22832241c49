#include "core/copy/copy_run.h"

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

    std::map<std::wstring, int> failingLookups;
    mutable std::vector<std::wstring> lookups;
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
    testing::InlineLongWork longWork;
    Services services{files, codec, dialogs, shell, clock, comparer, longWork};
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

// The shell's copy takes paths of at most 259 characters: the run refuses, before copying anything, a copy whose
// new folder or any path below it would be longer, and names the first such path.
TEST_F(CopyRunTest, RefusesACopyWhosePathsWouldPassTheShellsLimit)
{
    // A card 30 folders deep, each "\dddddddd": under a 30-character target the 26th level is the first too long.
    const auto levels = [](int count) {
        std::wstring path;
        for (int i = 0; i < count; ++i) path += L"\\dddddddd";
        return path;
    };
    const struct {
        const char* name;
        std::size_t nameLength;  // of the new folder's name, under D:\Backup (10 characters with its backslash)
        bool deepCard;           // the deep card instead of 100KORVA\IMG_0001.JPG
        std::wstring refusedBelowTarget;  // empty when the copy goes ahead
    } cases[] = {
        {"one below the limit", 226, false, L""},
        {"at the limit", 227, false, L""},
        {"one above the limit", 228, false, L"\\100KORVA\\IMG_0001.JPG"},
        {"a name alone past the limit", 300, false, L""},
        {"a deep card", 20, true, levels(26)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        files = {};
        files.AddFolder(L"D:\\Backup");
        files.AddFolder(kSource);
        if (c.deepCard) {
            for (int depth = 1; depth <= 30; ++depth) files.AddFolder(kSource + levels(depth));
            files.AddFile(kSource + levels(30) + L"\\x.jpg", "x");
            files.AddFile(L"E:\\DCIM\\" + std::wstring(200, L'f') + L".jpg", "a long name that still fits");
        } else {
            files.AddFolder(L"E:\\DCIM\\100KORVA");
            files.AddFile(L"E:\\DCIM\\100KORVA\\IMG_0001.JPG", "jpeg");
        }
        dialogs = {};
        shell = {};
        const std::wstring name(c.nameLength, L'n');
        const std::wstring target = L"D:\\Backup\\" + name;
        dialogs.AnswerPrompt(name);
        Run();

        const bool refused = !c.refusedBelowTarget.empty() || target.size() > 259;
        if (!refused) {
            EXPECT_TRUE(dialogs.messages.empty() || Describe(dialogs.messages) == std::vector{kDoneBox});
            EXPECT_EQ(shell.copies.size(), 1u);
            continue;
        }
        const std::wstring firstTooLong = target + c.refusedBelowTarget;
        EXPECT_EQ(Describe(dialogs.messages),
                  std::vector<std::wstring>{L"エラー | 作成されるパスが長すぎるため、コピーできません（パスは 259 "
                                            L"文字までです）：\r\n" + firstTooLong +
                                            L"\r\n\r\n保存先か新しいフォルダの名前を短くしてください | exclamation | ok"});
        EXPECT_TRUE(shell.copies.empty());
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
        files.AddFolder(L"E:\\DCIM\\100写真");
        files.AddFile(L"E:\\DCIM\\100写真\\IMG_0001.JPG", std::string(1500, 'p'));
        files.AddFile(L"E:\\DCIM\\.index", "idx", true);
        dialogs.AnswerPrompt(L"2027_0302");
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
    const std::wstring unlisted = L"エラー | コピー元を読めないため、コピーしたファイルを照合できませんでした：\r\n"
                                  L"E:\\DCIM\r\n\r\n結果を確認しますか？ | exclamation | yes-no | second default";
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
        {"SourceGoneAfterTheCopy", [](VerifiedCopyRunTest& t) { t.CopyThen([&t] { t.files.Remove(kSource); }); },
         MessageAnswer::Yes, unlisted, true},
        {"SubfolderUnreadable",
         [](VerifiedCopyRunTest& t) { t.CopyThen([&t] { t.files.unreadable.push_back(L"E:\\DCIM\\100写真"); }); },
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

}  // namespace
}  // namespace korvane
