#include "core/verify/verify_pass.h"

#include <gtest/gtest.h>

#include "core/verify/verify_messages.h"
#include "support/memory_file_system.h"
#include "support/scripted_verification.h"

namespace korvane {
namespace {

using Report = testing::InlineLongWork::Report;

// A card E:\DCIM copied to D:\2027_0302: a picture in a sub-folder, a hidden file, an empty file.
struct CopiedCard {
    CopiedCard()
    {
        for (const wchar_t* root : {L"E:\\DCIM", L"D:\\2027_0302"}) {
            const std::wstring folder = root;
            files.AddFolder(folder);
            files.AddFolder(folder + L"\\100写真");
            files.AddFile(folder + L"\\100写真\\IMG_0001.JPG", "picture");
            files.AddFile(folder + L"\\.index", "idx", true);
            files.AddFile(folder + L"\\empty.txt", "");
        }
    }

    VerifyPlan Plan() const
    {
        return PlanVerification(L"E:\\DCIM\\", L"D:\\2027_0302", FilesOf(ListCard(files, L"E:\\DCIM", {})->files));
    }

    VerifyOutcome Verify(const VerifyPlan& plan)
    {
        VerifyOutcome outcome;
        longWork.Run(nullptr, VerifyProgressSpec(plan.totalBytes), [&](WorkProgress& progress, std::stop_token stop) {
            outcome = RunVerification(plan, comparer, progress, stop);
        });
        return outcome;
    }

    testing::MemoryFileSystem files;
    testing::ContentComparer comparer{files};
    testing::InlineLongWork longWork;
};

class VerifyPassTest : public ::testing::Test, public CopiedCard {};

TEST_F(VerifyPassTest, PlansEveryOrdinaryFileAtItsPathInBothFolders)
{
    const VerifyPlan plan = Plan();
    EXPECT_EQ(plan.files, (std::vector<VerifyItem>{{L".index", 3}, {L"100写真\\IMG_0001.JPG", 7}, {L"empty.txt", 0}}));
    EXPECT_EQ(plan.totalBytes, 10u);

    Verify(plan);
    ASSERT_EQ(comparer.comparedPairs.size(), 3u);
    EXPECT_EQ(comparer.comparedPairs[1].original, L"E:\\DCIM\\100写真\\IMG_0001.JPG");
    EXPECT_EQ(comparer.comparedPairs[1].copy, L"D:\\2027_0302\\100写真\\IMG_0001.JPG");
}

TEST_F(VerifyPassTest, GathersEachFilesProblemInThePlansOrder)
{
    struct Case {
        const char* name;
        std::function<void(CopiedCard&)> spoil;
        std::vector<VerifyProblem> problems;
    };
    const Case cases[] = {
        {"all equal", [](CopiedCard&) {}, {}},
        {"one byte flipped",
         [](CopiedCard& t) { t.files.AddFile(L"D:\\2027_0302\\100写真\\IMG_0001.JPG", "picturE"); },
         {{L"100写真\\IMG_0001.JPG", {ComparisonResult::Differs, {}}}}},
        {"missing and unreadable",
         [](CopiedCard& t) {
             t.files.Remove(L"D:\\2027_0302\\empty.txt");
             t.comparer.unreadable[L"E:\\DCIM\\.index"] = L"locked";
         },
         {{L".index", {ComparisonResult::Unreadable, L"locked"}},
          {L"empty.txt", {ComparisonResult::MissingInCopy, {}}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CopiedCard test;
        c.spoil(test);
        const VerifyOutcome outcome = test.Verify(test.Plan());
        EXPECT_EQ(outcome.problems, c.problems);
        EXPECT_EQ(outcome.filesCompared, 3u);
        EXPECT_EQ(outcome.bytesCompared, 10u);
        EXPECT_FALSE(outcome.cancelled);
    }
}

TEST_F(VerifyPassTest, ReportsTheFileBeingComparedAndTheBytesDoneCountingAFileThatDiffersAsDone)
{
    files.AddFile(L"D:\\2027_0302\\.index", "IDX");
    Verify(Plan());
    EXPECT_EQ(longWork.designs.at(0).total, 10u);
    EXPECT_EQ(longWork.reports, (std::vector<Report>{{L".index", 0},
                                                     {L"100写真\\IMG_0001.JPG", 3},
                                                     {L"100写真\\IMG_0001.JPG", 10},
                                                     {L"empty.txt", 10}}));
}

TEST_F(VerifyPassTest, CancelStopsThePassAndSaysHowFarItGot)
{
    const struct {
        const char* name;
        std::size_t cancelAtReport;
        std::size_t filesCompared;
        std::uint64_t bytesCompared;
    } cases[] = {
        {"within the first file", 2, 0, 3},  // once its bytes are compared, before it is reported
        // Every byte is compared, but the empty file at the end is not: still a cancelled pass.
        {"just before a trailing empty file", 5, 2, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CopiedCard test;
        test.longWork.cancelAtReport = c.cancelAtReport;
        const VerifyOutcome outcome = test.Verify(test.Plan());
        EXPECT_TRUE(outcome.cancelled);
        EXPECT_EQ(outcome.filesCompared, c.filesCompared);
        EXPECT_EQ(outcome.bytesCompared, c.bytesCompared);
        EXPECT_EQ(outcome.fileCount, 3u);
        EXPECT_EQ(outcome.totalBytes, 10u);
    }
}

TEST(VerifyMessages, FormatsSizesAsTheExplorerDoes)
{
    const std::pair<std::uint64_t, std::wstring> cases[] = {
        {0, L"0 バイト"},          {1023, L"1023 バイト"},     {1024, L"1.00 KB"},
        {1536, L"1.50 KB"},        {1023 * 1024, L"1023 KB"}, {10485759, L"9.99 MB"},
        {16320875724ull, L"15.1 GB"}, {152ull << 20, L"152 MB"}, {5ull << 40, L"5.00 TB"},
    };
    for (const auto& [bytes, text] : cases) EXPECT_EQ(FormatBytes(bytes), text) << bytes;
    EXPECT_EQ(FormatCount(0), L"0");
    EXPECT_EQ(FormatCount(999), L"999");
    EXPECT_EQ(FormatCount(1234), L"1,234");
    EXPECT_EQ(FormatCount(20000000), L"20,000,000");
}

TEST(VerifyMessages, FiguresGiveAmountSpeedAndTimeLeftOnceASecondHasPassed)
{
    struct Case {
        std::uint64_t done, total;
        double seconds;
        ProgressFigures figures;
    };
    const Case cases[] = {
        {0, 100 << 20, 5, {L"0 バイト / 100 MB", L"残り時間を計算しています...", 0}},
        {10 << 20, 100 << 20, 0.5, {L"10.0 MB / 100 MB", L"残り時間を計算しています...", 100}},
        {10 << 20, 100 << 20, 2, {L"10.0 MB / 100 MB", L"5.00 MB/秒\u3000残り 約 18 秒", 100}},
        {10 << 20, 610 << 20, 1, {L"10.0 MB / 610 MB", L"10.0 MB/秒\u3000残り 約 1 分", 16}},
        {10 << 20, 620 << 20, 1, {L"10.0 MB / 620 MB", L"10.0 MB/秒\u3000残り 約 2 分", 16}},
        {1ull << 30, 31ull << 30, 10, {L"1.00 GB / 31.0 GB", L"102 MB/秒\u3000残り 約 5 分", 32}},
        {1ull << 30, 1001ull << 30, 100, {L"1.00 GB / 1001 GB", L"10.2 MB/秒\u3000残り 約 27 時間 46 分", 0}},
        {0, 0, 3, {L"0 バイト / 0 バイト", L"残り時間を計算しています...", 1000}},
    };
    for (const Case& c : cases) {
        const ProgressFigures figures = FiguresOf(c.done, c.total, c.seconds);
        EXPECT_EQ(figures.amount, c.figures.amount);
        EXPECT_EQ(figures.timeLeft, c.figures.timeLeft);
        EXPECT_EQ(figures.permille, c.figures.permille);
    }
}

VerifyOutcome OutcomeWith(std::size_t problems, bool cancelled)
{
    VerifyOutcome outcome{.fileCount = 1234, .totalBytes = 16320875724ull, .filesCompared = 1234,
                          .bytesCompared = 16320875724ull, .problems = {}, .cancelled = cancelled};
    const FileComparison kinds[] = {{ComparisonResult::Differs, {}},
                                    {ComparisonResult::MissingInCopy, {}},
                                    {ComparisonResult::Unreadable, L"アクセスが拒否されました。"}};
    for (std::size_t i = 0; i < problems; ++i) {
        outcome.problems.push_back({L"DCIM\\IMG_" + std::to_wstring(i) + L".JPG", kinds[i % 3]});
    }
    if (cancelled) {
        outcome.filesCompared = 200;
        outcome.bytesCompared = 2577ull << 20;
    }
    return outcome;
}

TEST(VerifyMessages, LineBelowTheCompletionSaysWhatWasComparedOrHowFarItGot)
{
    EXPECT_EQ(VerifiedLine(OutcomeWith(0, false)), L"1,234 個のファイル（15.1 GB）を照合しました");
    EXPECT_EQ(VerifiedLine(OutcomeWith(0, true)),
              L"照合は取り消されました（1,234 個のうち 200 個のファイル、15.1 GB のうち 2.51 GB を照合しました）");
}

TEST(VerifyMessages, ProblemsQuestionCountsEachKindListsTheFirstTenAndAsksWhetherToLook)
{
    const MessageBoxSpec few = VerifyProblemsQuestion(OutcomeWith(2, false));
    EXPECT_EQ(few.text,
              L"コピーしたファイルを照合したところ、問題が見つかりました：\r\n"
              L"内容が異なるファイル：1 個\r\n新しいフォルダにないファイル：1 個\r\n\r\n"
              L"DCIM\\IMG_0.JPG（内容が異なります）\r\nDCIM\\IMG_1.JPG（新しいフォルダにありません）\r\n\r\n"
              L"結果を確認しますか？");
    EXPECT_EQ(few.icon, MessageIcon::Exclamation);
    EXPECT_EQ(few.buttons, MessageButtons::YesNo);
    EXPECT_TRUE(few.secondButtonDefault);
    EXPECT_EQ(few.title, L"エラー");

    const std::wstring many = VerifyProblemsQuestion(OutcomeWith(13, true)).text;
    EXPECT_NE(many.find(L"内容が異なるファイル：5 個\r\n新しいフォルダにないファイル：4 個\r\n読めなかったファイル：4 個"),
              std::wstring::npos);
    EXPECT_NE(many.find(L"DCIM\\IMG_9.JPG（内容が異なります）\r\nほか 3 個\r\n\r\n照合は取り消されました"),
              std::wstring::npos);
    EXPECT_NE(many.find(L"DCIM\\IMG_2.JPG（読めません：アクセスが拒否されました。）"), std::wstring::npos);
    EXPECT_EQ(many.find(L"IMG_10"), std::wstring::npos);

    const std::wstring ten = VerifyProblemsQuestion(OutcomeWith(10, false)).text;
    EXPECT_TRUE(ten.ends_with(L"DCIM\\IMG_9.JPG（内容が異なります）\r\n\r\n結果を確認しますか？"));
    EXPECT_EQ(ten.find(L"ほか"), std::wstring::npos);

    VerifyOutcome noReason = OutcomeWith(0, false);
    noReason.problems.push_back({L"DCIM\\IMG_0.JPG", {ComparisonResult::Unreadable, {}}});
    EXPECT_NE(VerifyProblemsQuestion(noReason).text.find(L"\r\n\r\nDCIM\\IMG_0.JPG（読めません）\r\n\r\n"),
              std::wstring::npos);
}

}  // namespace
}  // namespace korvane
