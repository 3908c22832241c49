#include "core/verify/verify_messages.h"

#include <array>
#include <cmath>

#include "core/common/error_box.h"

namespace korvane {
namespace {

constexpr std::size_t kProblemsListed = 10;
const std::wstring kSeeResult = L"結果を確認しますか？";
const std::wstring kVerifyProblemsHeading = L"コピーしたファイルを照合したところ、問題が見つかりました：";

std::wstring ThreeDigits(double value)
{
    // Cut, not rounded, so that "1023.9 KB" never shows as "1.00 MB" nor a part done as the whole.
    const int decimals = value < 10 ? 2 : value < 100 ? 1 : 0;
    const double scale = std::pow(10.0, decimals);
    const auto scaled = static_cast<std::uint64_t>(std::floor(value * scale + 1e-9));
    std::wstring text = std::to_wstring(scaled / static_cast<std::uint64_t>(scale));
    if (decimals > 0) {
        std::wstring fraction = std::to_wstring(scaled % static_cast<std::uint64_t>(scale));
        fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), L'0');
        text += L"." + fraction;
    }
    return text;
}

std::wstring TimeLeft(double seconds)
{
    const auto whole = static_cast<std::uint64_t>(std::ceil(seconds));
    if (whole < 60) return L"約 " + std::to_wstring(whole) + L" 秒";
    if (whole < 3600) return L"約 " + std::to_wstring((whole + 59) / 60) + L" 分";
    return L"約 " + std::to_wstring(whole / 3600) + L" 時間 " + std::to_wstring(whole % 3600 / 60) + L" 分";
}

std::wstring ReasonOf(const FileComparison& comparison)
{
    switch (comparison.result) {
    case ComparisonResult::Differs:
        return L"内容が異なります";
    case ComparisonResult::MissingInCopy:
        return L"新しいフォルダにありません";
    case ComparisonResult::Unreadable:
        return comparison.reason.empty() ? L"読めません" : L"読めません：" + comparison.reason;
    case ComparisonResult::Equal:
        break;
    }
    return {};
}

// How many files of each kind the outcome found, then the first ten by path with their reason, each on a line of
// its own after a blank one.
std::wstring ProblemLines(const VerifyOutcome& outcome)
{
    std::array<std::size_t, 4> counts{};
    for (const VerifyProblem& problem : outcome.problems) ++counts[static_cast<std::size_t>(problem.comparison.result)];
    std::wstring text;
    const auto count = [&](ComparisonResult result, const wchar_t* what) {
        if (const std::size_t n = counts[static_cast<std::size_t>(result)]) {
            text += L"\r\n" + std::wstring(what) + L"：" + FormatCount(n) + L" 個";
        }
    };
    count(ComparisonResult::Differs, L"内容が異なるファイル");
    count(ComparisonResult::MissingInCopy, L"新しいフォルダにないファイル");
    count(ComparisonResult::Unreadable, L"読めなかったファイル");
    text += L"\r\n";
    for (std::size_t i = 0; i < outcome.problems.size() && i < kProblemsListed; ++i) {
        text += L"\r\n" + outcome.problems[i].relativePath + L"（" + ReasonOf(outcome.problems[i].comparison) + L"）";
    }
    if (outcome.problems.size() > kProblemsListed) {
        text += L"\r\nほか " + FormatCount(outcome.problems.size() - kProblemsListed) + L" 個";
    }
    return text;
}

MessageBoxSpec SeeResultQuestion(const std::wstring& text)
{
    return {text + L"\r\n\r\n" + kSeeResult, MessageIcon::Exclamation, MessageButtons::YesNo, true, kErrorTitle};
}

}  // namespace

std::wstring FormatBytes(std::uint64_t bytes)
{
    static const std::array<const wchar_t*, 5> units = {L"KB", L"MB", L"GB", L"TB", L"PB"};
    if (bytes < 1024) return std::to_wstring(bytes) + L" バイト";
    double value = static_cast<double>(bytes) / 1024;
    std::size_t unit = 0;
    while (value >= 1024 && unit + 1 < units.size()) {
        value /= 1024;
        ++unit;
    }
    return ThreeDigits(value) + L" " + units[unit];
}

std::wstring FormatCount(std::uint64_t count)
{
    std::wstring digits = std::to_wstring(count);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, L",");
    return digits;
}

LongWorkSpec VerifyProgressSpec(std::uint64_t totalBytes)
{
    return {L"照合", L"コピーしたファイルを読み直して照合しています：", totalBytes};
}

ProgressFigures FiguresOf(std::uint64_t done, std::uint64_t total, double seconds)
{
    ProgressFigures figures;
    figures.amount = FormatBytes(done) + L" / " + FormatBytes(total);
    figures.permille = total == 0 ? 1000 : static_cast<int>(done * 1000.0 / static_cast<double>(total));
    // Under a second, or before the first bytes, a speed would be a guess.
    if (seconds < 1 || done == 0) {
        figures.timeLeft = L"残り時間を計算しています...";
        return figures;
    }
    const double speed = static_cast<double>(done) / seconds;
    figures.timeLeft = FormatBytes(static_cast<std::uint64_t>(speed)) + L"/秒\u3000残り " +
                       TimeLeft(static_cast<double>(total - done) / speed);
    return figures;
}

std::wstring VerifiedLine(const VerifyOutcome& outcome)
{
    if (!outcome.cancelled) {
        return FormatCount(outcome.fileCount) + L" 個のファイル（" + FormatBytes(outcome.totalBytes) +
               L"）を照合しました";
    }
    return L"照合は取り消されました（" + FormatCount(outcome.fileCount) + L" 個のうち " +
           FormatCount(outcome.filesCompared) + L" 個のファイル、" + FormatBytes(outcome.totalBytes) + L" のうち " +
           FormatBytes(outcome.bytesCompared) + L" を照合しました）";
}

MessageBoxSpec VerifyProblemsQuestion(const VerifyOutcome& outcome)
{
    return ProblemsQuestion(outcome, kVerifyProblemsHeading, VerifiedLine(outcome));
}

MessageBoxSpec VerifyProblemsQuestion(const std::vector<CopyFindings>& copies)
{
    return CopiesProblemsQuestion(copies, kVerifyProblemsHeading, VerifiedLine(copies.back().outcome));
}

MessageBoxSpec ProblemsQuestion(const VerifyOutcome& outcome, const std::wstring& heading,
                                const std::wstring& cancelledLine)
{
    std::wstring text = heading + ProblemLines(outcome);
    if (outcome.cancelled) text += L"\r\n\r\n" + cancelledLine;
    return SeeResultQuestion(text);
}

MessageBoxSpec CopiesProblemsQuestion(const std::vector<CopyFindings>& copies, const std::wstring& heading,
                                      const std::wstring& cancelledLine)
{
    std::wstring text = heading;
    bool cancelled = false;
    for (const CopyFindings& copy : copies) {
        text += L"\r\n\r\n" + copy.label;
        text += copy.outcome.problems.empty() ? L"\r\n問題はありません" : ProblemLines(copy.outcome);
        cancelled = cancelled || copy.outcome.cancelled;
    }
    if (cancelled) text += L"\r\n\r\n" + cancelledLine;
    return SeeResultQuestion(text);
}

MessageBoxSpec VerifyImpossibleQuestion(const std::wstring& folder, const std::wstring& reason)
{
    return {L"コピー元を読めないため、コピーしたファイルを照合できませんでした：\r\n" + folder +
                (reason.empty() ? L"" : L"\r\n" + reason) + L"\r\n\r\n" + kSeeResult,
            MessageIcon::Exclamation, MessageButtons::YesNo, true, kErrorTitle};
}

}  // namespace korvane
