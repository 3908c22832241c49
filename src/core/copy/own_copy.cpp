#include "core/copy/own_copy.h"

#include <set>
#include <vector>

#include "core/backup/backup_folder.h"
#include "core/common/error_box.h"
#include "core/common/path_text.h"
#include "core/verify/verify_messages.h"

namespace korvane {
namespace {

constexpr std::size_t kNamesListed = 10;
const std::wstring kSeeResult = L"結果を確認しますか？";

MessageBoxSpec CardNotListedMessage(const std::wstring& folder, const std::wstring& reason)
{
    return ErrorBox(L"コピー元の一部を読めないため、コピーできません：\r\n" + folder +
                    (reason.empty() ? L"" : L"\r\n" + reason));
}

MessageBoxSpec NoRoomMessage(const std::wstring& destination, std::uint64_t needed, std::uint64_t free)
{
    return ErrorBox(L"保存先のディスクの空き容量が足りないため、コピーできません：\r\n" + destination +
                    L"\r\n\r\nコピーするファイル：" + FormatBytes(needed) + L"\r\n空き容量：" + FormatBytes(free));
}

MessageBoxSpec FilesThereQuestion(const std::vector<std::wstring>& names)
{
    std::wstring text = L"新しいフォルダには、コピーするファイルと同じ名前のファイルが " + FormatCount(names.size()) +
                        L" 個あります：\r\n";
    for (std::size_t i = 0; i < names.size() && i < kNamesListed; ++i) text += L"\r\n" + names[i];
    if (names.size() > kNamesListed) text += L"\r\nほか " + FormatCount(names.size() - kNamesListed) + L" 個";
    text += L"\r\n\r\nすべて上書きしますか？\r\n「いいえ」を選ぶと、これらのファイルは残し、コピーしません。";
    return {text, MessageIcon::Question, MessageButtons::YesNoCancel, false, L"確認"};
}

MessageBoxSpec DiskFullQuestion(const std::wstring& target, const std::wstring& reason)
{
    return {L"保存先のディスクがいっぱいになったため、コピーを中止しました：\r\n" + target + L"\r\n" + reason +
                L"\r\n\r\n" + kSeeResult,
            MessageIcon::Exclamation, MessageButtons::YesNo, true, kErrorTitle};
}

// A copy stopped before its end is no completed copy: the shell's own words for an interrupted copy, with how far
// it got.
MessageBoxSpec CopyCancelledQuestion(const std::wstring& cancelledLine)
{
    return {L"コピーは中断または失敗しました\r\n" + cancelledLine + L"\r\n\r\n" + kSeeResult, MessageIcon::Exclamation,
            MessageButtons::YesNo, true, kErrorTitle};
}

MessageBoxSpec CopyNotGoingOnQuestion(const std::wstring& reason)
{
    return {L"コピーを続けられませんでした：\r\n" + reason + L"\r\n\r\n" + kSeeResult, MessageIcon::Exclamation,
            MessageButtons::YesNo, true, kErrorTitle};
}

LongWorkSpec OwnCopyProgressSpec(bool check, std::uint64_t total)
{
    // Not "コピー", the name prompt's title, which shows just before it.
    return {L"カードからコピー",
            check ? L"カードを一度だけ読んでコピーし、照合しています：" : L"カードを一度だけ読んでコピーしています：",
            total};
}

std::wstring CancelledLine(const VerifyOutcome& files)
{
    return L"コピーは取り消されました（" + FormatCount(files.fileCount) + L" 個のうち " +
           FormatCount(files.filesCompared) + L" 個のファイル、" + FormatBytes(files.totalBytes) + L" のうち " +
           FormatBytes(files.bytesCompared) + L" をコピーしました）";
}

std::wstring ParentOf(const std::wstring& folder) { return folder.substr(0, folder.rfind(L'\\')); }

// Windows' file names are the same whatever the case of their ASCII letters.
std::wstring Folded(std::wstring path)
{
    for (wchar_t& c : path) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return path;
}

// The job's files that have a file at their path in the new folder already, by their relative paths.
std::set<std::wstring> FilesThere(const FileSystem& fileSystem, const std::wstring& target, const CopyJob& job)
{
    std::wstring folder = target;
    if (!fileSystem.Lookup(AddLastBackslash(folder), LookupKind::FilesAndFolders)) return {};
    std::set<std::wstring> there;
    for (const TreeEntry& entry : fileSystem.ListTree(target, {}).entries) {
        if (!entry.isFolder) there.insert(Folded(entry.relativePath));
    }
    std::set<std::wstring> found;
    for (const CopyEntry& entry : job.entries) {
        if (!entry.isFolder && there.contains(Folded(entry.relativePath))) found.insert(entry.relativePath);
    }
    return found;
}

// How many of the job's targets stand on the disk of `destination`: 1 unless the system says that another one does.
std::uint64_t CopiesOnDiskOf(const FileSystem& fileSystem, const std::wstring& destination, const CopyJob& job)
{
    const std::optional<std::wstring> volume = fileSystem.VolumeOf(destination);
    std::uint64_t copies = 0;
    for (const std::wstring& target : job.targets) {
        const std::wstring other = ParentOf(target);
        if (other == destination || (volume && Folded(*volume) == Folded(fileSystem.VolumeOf(other).value_or(L""))))
            ++copies;
    }
    return copies == 0 ? 1 : copies;
}

std::uint64_t BytesOf(const CopyJob& job)
{
    std::uint64_t bytes = 0;
    for (const CopyEntry& entry : job.entries) bytes += entry.size;
    return bytes;
}

// Turns the copier's reports into the outcome and the progress window's figures.
class OwnCopyCollector : public CopyProgress {
public:
    OwnCopyCollector(const CopyJob& job, WorkProgress& progress, OwnCopyOutcome& outcome)
        : job_(job), progress_(progress), outcome_(outcome)
    {
        outcome_.copyProblems.resize(job.targets.size());
    }

    void Copying(std::size_t index) override
    {
        current_ = index;
        Report();
    }
    void BytesCopied(std::uint64_t count) override
    {
        outcome_.files.bytesCompared += count;
        done_ += count;
        Report();
    }
    void BytesChecked(std::uint64_t count) override
    {
        done_ += count;
        Report();
    }
    void EntryCopied(std::size_t index, const CopiedEntry& entry) override
    {
        const CopyEntry& copied = job_.entries.at(index);
        if (!copied.isFolder) ++outcome_.files.filesCompared;
        if (entry.card.result != ComparisonResult::Equal) {  // in no copy
            Problem(copied, entry.card);
            for (auto& problems : outcome_.copyProblems) problems.push_back(outcome_.files.problems.back());
        }
        for (std::size_t target = 0; target < entry.copies.size(); ++target) {
            if (entry.copies[target].result == ComparisonResult::Equal) continue;
            Problem(copied, entry.copies[target]);
            outcome_.copyProblems.at(target).push_back(outcome_.files.problems.back());
        }
    }

    void Report() { progress_.Report(job_.entries.at(current_).relativePath, done_); }

private:
    void Problem(const CopyEntry& entry, const FileComparison& comparison)
    {
        outcome_.files.problems.push_back({entry.relativePath, comparison});
    }

    const CopyJob& job_;
    WorkProgress& progress_;
    OwnCopyOutcome& outcome_;
    std::size_t current_ = 0;
    std::uint64_t done_ = 0;
};

}  // namespace

CopyJob OwnCopyJob(const CopyPlan& plan, const FilesToCopy& files, bool check)
{
    CopyJob job{.entries = {}, .targets = {plan.target}, .check = check};
    std::set<std::wstring> onWay;  // with only the new files, the folders on their way alone, as the shell makes
    if (files.only) {
        for (const std::wstring& file : *files.only) {
            for (std::size_t at = file.find(L'\\'); at != std::wstring::npos; at = file.find(L'\\', at + 1))
                onWay.insert(file.substr(0, at));
        }
    }
    for (const std::wstring& folder : plan.folders) {
        if (!files.only || onWay.contains(folder))
            job.entries.push_back({plan.SourcePath(folder), folder, true, 0});
    }
    const std::set<std::wstring> only = files.only ? std::set<std::wstring>(files.only->begin(), files.only->end())
                                                   : std::set<std::wstring>{};
    for (const PlannedFile& file : plan.files) {
        if (!files.only || only.contains(file.relativePath))
            job.entries.push_back({plan.SourcePath(file.relativePath), file.relativePath, false, file.size});
    }
    return job;
}

std::optional<CopyJob> PrepareOwnCopy(const Services& services, const CopyPlan& plan, CopyJob job)
{
    // The copy takes the plan's files: those of a folder it could not list would be left out unseen.
    if (plan.listingFailure) {
        services.dialogs.ShowMessage(CardNotListedMessage(plan.source, *plan.listingFailure));
        return std::nullopt;
    }
    if (!plan.unreadableFolders.empty()) {
        services.dialogs.ShowMessage(CardNotListedMessage(plan.SourcePath(plan.unreadableFolders.front()), {}));
        return std::nullopt;
    }
    std::set<std::wstring> there;
    for (const std::wstring& target : job.targets) there.merge(FilesThere(services.fileSystem, target, job));
    if (!there.empty()) {
        std::vector<std::wstring> names;
        for (const CopyEntry& entry : job.entries) {
            if (there.contains(entry.relativePath)) names.push_back(entry.relativePath);
        }
        switch (services.dialogs.ShowMessage(FilesThereQuestion(names))) {
        case MessageAnswer::Yes: break;
        case MessageAnswer::No:
            std::erase_if(job.entries, [&](const CopyEntry& entry) { return there.contains(entry.relativePath); });
            break;
        default: return std::nullopt;
        }
    }
    for (const std::wstring& target : job.targets) {
        const std::wstring destination = ParentOf(target);
        const std::uint64_t needed = BytesOf(job) * CopiesOnDiskOf(services.fileSystem, destination, job);
        const std::uint64_t free = services.fileSystem.FreeBytes(destination);
        if (needed > free) {
            services.dialogs.ShowMessage(NoRoomMessage(destination, needed, free));
            return std::nullopt;
        }
    }
    return job;
}

OwnCopyOutcome RunOwnCopy(const Services& services, WindowHandle owner, const CopyJob& job)
{
    OwnCopyOutcome outcome;
    outcome.checked = job.check;
    outcome.files.totalBytes = BytesOf(job);
    for (const CopyEntry& entry : job.entries) outcome.files.fileCount += entry.isFolder ? 0 : 1;
    // The copier tells of bytes written to, and read back from, every target at once.
    const std::uint64_t total = outcome.files.totalBytes * (job.check ? 2 : 1);
    const auto copy = [&](WorkProgress& progress, std::stop_token stop) {
        OwnCopyCollector collector(job, progress, outcome);
        if (!job.entries.empty()) collector.Report();
        outcome.ending = services.copier.Copy(job, collector, stop);
    };
    services.longWork.Run(owner, OwnCopyProgressSpec(job.check, total), copy);
    outcome.files.cancelled = outcome.ending.end == CopyEnd::Stopped;
    return outcome;
}

std::optional<MessageBoxSpec> OwnCopyProblemsQuestion(const OwnCopyOutcome& outcome,
                                                      const std::vector<std::wstring>& targets)
{
    switch (outcome.ending.end) {
    case CopyEnd::DiskFull: return DiskFullQuestion(targets.at(outcome.ending.target), outcome.ending.reason);
    case CopyEnd::Failed: return CopyNotGoingOnQuestion(outcome.ending.reason);
    case CopyEnd::Stopped:
        if (outcome.files.problems.empty()) return CopyCancelledQuestion(CancelledLine(outcome.files));
        break;
    case CopyEnd::Finished: break;
    }
    if (outcome.files.problems.empty()) return std::nullopt;
    const std::wstring heading = outcome.checked
                                     ? L"コピーしたファイルをカードのチェックサムと照合したところ、問題が見つかりました："
                                     : L"コピーできなかったファイルがあります：";
    if (targets.size() == 1) return ProblemsQuestion(outcome.files, heading, CancelledLine(outcome.files));
    std::vector<CopyFindings> copies;
    for (std::size_t target = 0; target < targets.size(); ++target) {
        VerifyOutcome copy = outcome.files;
        copy.problems = outcome.copyProblems.at(target);
        copies.push_back({CopyLabel(target, targets[target]), std::move(copy)});
    }
    return CopiesProblemsQuestion(copies, heading, CancelledLine(outcome.files));
}

std::wstring OwnCopyDoneLine(const OwnCopyOutcome& outcome)
{
    if (!outcome.checked) return {};
    return FormatCount(outcome.files.fileCount) + L" 個のファイル（" + FormatBytes(outcome.files.totalBytes) +
           L"）をカードのチェックサムと照合しました";
}

}  // namespace korvane
