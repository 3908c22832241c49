#include "core/copy/copy_run.h"

#include <algorithm>
#include <optional>
#include <set>

#include "core/backup/backup_folder.h"
#include "core/earlier_copies/already_copied.h"
#include "core/copy/copy_folder.h"
#include "core/copy/own_copy.h"
#include "core/common/error_box.h"
#include "core/common/path_limits.h"
#include "core/common/path_text.h"
#include "core/plan/copy_plan.h"
#include "core/plan/path_check.h"
#include "core/verify/verify_messages.h"
#include "core/verify/verify_pass.h"
#include "platform/failure.h"

namespace korvane {
namespace {

// The run's texts, all of them here.
const std::wstring kNamePromptTitle = L"コピー";
const std::wstring kNamePrompt =
    L"作成するフォルダの名前を入力してください\r\n"
    L"（注）次の文字は使わないでください\r\n"
    L"\u3000\u3000\\/:,;*?\"<>|";

MessageBoxSpec DestinationMissingMessage(const std::wstring& destination)
{
    return {L"保存先のフォルダ：\r\n" + destination + L"\r\nは存在しません", MessageIcon::Exclamation,
            MessageButtons::Ok, false, kErrorTitle};
}

MessageBoxSpec SourceNotReadyMessage()
{
    return {L"コピー元の準備が出来ていません", MessageIcon::Critical, MessageButtons::RetryCancel, false,
            kErrorTitle};
}

MessageBoxSpec CopyDoneMessage()
{
    return {L"コピーが完了しました", MessageIcon::Information, MessageButtons::Ok, false, L"完了"};
}

MessageBoxSpec CopyFailedQuestion()
{
    return {L"コピーは中断または失敗しました\r\n\r\n結果を確認しますか？", MessageIcon::Exclamation,
            MessageButtons::YesNo, true, kErrorTitle};
}

// Names the path, whether it is the card's or one the copy would create, and the limit it passes.
MessageBoxSpec PathTooLongMessage(const PathTooLong& tooLong)
{
    const std::wstring whose = tooLong.onCard ? L"コピー元の" : L"作成される";
    const std::wstring what = tooLong.limit == kLongestFolderPath ? L"フォルダ" : L"ファイル";
    const std::wstring remedy = tooLong.onCard ? L"カードのフォルダかファイルの名前を短くしてください"
                                               : L"保存先か新しいフォルダの名前を短くしてください";
    return {whose + L"パスが長すぎるため、コピーできません（" + what + L"のパスは " +
                std::to_wstring(tooLong.limit) + L" 文字までです）：\r\n" + tooLong.path + L"\r\n\r\n" + remedy,
            MessageIcon::Exclamation, MessageButtons::Ok, false, kErrorTitle};
}

MessageBoxSpec FolderNotMadeMessage(const std::wstring& folder, const std::wstring& reason)
{
    return {L"新しいフォルダを作成できませんでした：\r\n" + folder + (reason.empty() ? L"" : L"\r\n" + reason),
            MessageIcon::Exclamation, MessageButtons::Ok, false, kErrorTitle};
}

// The report of a failure raised on the way; the opening parenthesis is full-width, the closing one ASCII.
MessageBoxSpec FailureMessage(int code)
{
    if (code == failure_code::kBadFileName) {
        return ErrorBox(L"無効なファイル名です");
    }
    return {L"コピーに失敗しました（Err No." + std::to_wstring(code) + L")", MessageIcon::Exclamation,
            MessageButtons::Ok, false, kErrorTitle};
}

bool Exists(const FileSystem& fileSystem, const std::wstring& path)
{
    return fileSystem.Lookup(path, LookupKind::FilesAndFolders).has_value();
}

// Looks the same source text up until it is found (true) or the user gives up (false).
bool WaitForSource(const Services& services, const std::wstring& source)
{
    while (!Exists(services.fileSystem, source)) {
        if (services.dialogs.ShowMessage(SourceNotReadyMessage()) != MessageAnswer::Retry) return false;
    }
    return true;
}

std::wstring AskFolderName(const Services& services)
{
    return services.dialogs.PromptInput(kNamePromptTitle, kNamePrompt, FolderNameForDate(services.clock.Today()));
}

std::wstring SourcePattern(std::wstring source)
{
    return RemoveLastBackslash(source) + L"\\*.*";
}

std::wstring TargetPath(const std::wstring& destination, const std::wstring& folderName)
{
    return JoinPath(destination, folderName);
}

// Makes the new folder before the copy, so that the shell copies into it whatever the card holds: given a folder
// that is not there and a pattern that matches one item, the shell would copy that item as the new folder. False,
// after the message, when the folder cannot be made.
bool MakeTarget(const Services& services, const std::wstring& target)
{
    try {
        services.fileSystem.CreateFolder(target);
        return true;
    } catch (const Failure& failure) {
        services.dialogs.ShowMessage(FolderNotMadeMessage(target, failure.reason()));
        return false;
    }
}

bool MakeTargets(const Services& services, const std::vector<std::wstring>& targets)
{
    return std::all_of(targets.begin(), targets.end(),
                       [&](const std::wstring& target) { return MakeTarget(services, target); });
}

void ExploreOnYes(const Services& services, WindowHandle owner, const MessageBoxSpec& question,
                  const std::wstring& target)
{
    if (services.dialogs.ShowMessage(question) == MessageAnswer::Yes) services.shell.Explore(owner, target);
}

// The completion box, naming the new folders when there are two, with the line of files left out as copied already
// when there were any, then `extraLine`; then the explorer on the destination's new folder.
void ReportDone(const Services& services, WindowHandle owner, const std::vector<std::wstring>& targets,
                const FilesToCopy& files, const std::wstring& extraLine = {})
{
    MessageBoxSpec box = CopyDoneMessage();
    for (std::size_t copy = 0; copy < targets.size() && targets.size() > 1; ++copy)
        box = WithLastLine(box, CopyLabel(copy, targets[copy]));
    services.dialogs.ShowMessage(WithLastLine(WithLastLine(box, LeftOutLine(files)), extraLine));
    services.shell.Explore(owner, targets.front());
}

void ReportOutcome(const Services& services, WindowHandle owner, int result, const std::vector<std::wstring>& targets,
                   const FilesToCopy& files)
{
    if (result != 0) {
        ExploreOnYes(services, owner, CopyFailedQuestion(), targets.front());
        return;
    }
    ReportDone(services, owner, targets, files);
}

// The planned files that the copy took: all of them, or the new ones alone.
std::vector<VerifyItem> CopiedFiles(const CopyPlan& plan, const FilesToCopy& files)
{
    std::vector<VerifyItem> items = FilesOf(plan.files);
    if (!files.only) return items;
    const std::set<std::wstring> copied(files.only->begin(), files.only->end());
    std::erase_if(items, [&](const VerifyItem& item) { return !copied.contains(item.relativePath); });
    return items;
}

// After copies the shell reported whole: every planned file it copied compared with its copy in each target, one
// target after the other (the originals are opened again, so a card gone since is seen), then the outcome.
void VerifyAndReport(const Services& services, WindowHandle owner, const CopyPlan& plan,
                     const std::vector<std::wstring>& targets, const FilesToCopy& files)
{
    if (plan.listingFailure) {
        ExploreOnYes(services, owner, VerifyImpossibleQuestion(plan.source, *plan.listingFailure), plan.target);
        return;
    }
    // The files of a folder that could not be listed cannot be compared either: no "all equal" without them.
    if (!plan.unreadableFolders.empty()) {
        const std::wstring folder = plan.SourcePath(plan.unreadableFolders.front());
        ExploreOnYes(services, owner, VerifyImpossibleQuestion(folder, {}), plan.target);
        return;
    }
    std::vector<CopyFindings> copies;
    bool problems = false;
    for (std::size_t copy = 0; copy < targets.size() && (copies.empty() || !copies.back().outcome.cancelled); ++copy) {
        const VerifyOutcome outcome =
            VerifyCopy(services, owner, PlanVerification(plan.source, targets[copy], CopiedFiles(plan, files)));
        problems = problems || !outcome.problems.empty();
        copies.push_back({CopyLabel(copy, targets[copy]), outcome});
    }
    const VerifyOutcome& last = copies.back().outcome;
    if (problems) {
        const MessageBoxSpec question =
            targets.size() == 1 ? VerifyProblemsQuestion(last) : VerifyProblemsQuestion(copies);
        ExploreOnYes(services, owner, question, plan.target);
        return;
    }
    ReportDone(services, owner, targets, files, VerifiedLine(last));
}

// The program's own copy, in place of the shell's: its checks before copying, then the copy (and the check
// against the card's checksums, with the verification on) behind its progress window, then the outcome.
void CopyByItself(const Services& services, WindowHandle owner, const CopyPlan& plan,
                  const std::vector<std::wstring>& targets, const FilesToCopy& files, bool check)
{
    CopyJob planned = OwnCopyJob(plan, files, check);
    planned.targets = targets;
    const std::optional<CopyJob> job = PrepareOwnCopy(services, plan, std::move(planned));
    if (!job || !MakeTargets(services, targets)) return;
    const OwnCopyOutcome outcome = RunOwnCopy(services, owner, *job);
    if (const std::optional<MessageBoxSpec> question = OwnCopyProblemsQuestion(outcome, targets)) {
        ExploreOnYes(services, owner, *question, plan.target);
        return;
    }
    ReportDone(services, owner, targets, files, OwnCopyDoneLine(outcome));
}

// The run up to its outcome; returns early, silently, where the user ends it.
void CopySteps(const Services& services, WindowHandle owner, const std::wstring& destination,
               const std::wstring& source, const Options& options)
{
    if (!Exists(services.fileSystem, destination)) {
        services.dialogs.ShowMessage(DestinationMissingMessage(destination));
        return;
    }
    if (!WaitForSource(services, source)) return;
    const std::optional<std::wstring> backup = BackupFolderForRun(services, options.backupFolder, destination, source);
    if (!backup) return;
    std::optional<CopyPlan> plan = ListCardWhileWaiting(services, owner, source);
    if (!plan) return;
    FilesToCopy files;  // the whole source folder
    if (options.skipCopied) {
        auto chosen = ChooseFilesToCopy(services, owner, *plan, destination);
        if (!chosen) return;
        files = std::move(*chosen);
    }
    // The name is taken as typed: the file system is the judge of what it accepts.
    const std::wstring folderName = AskFolderName(services);
    if (folderName.empty()) return;
    // The new folder below the destination, then the one below the backup folder, if any.
    std::vector<std::wstring> targets{TargetPath(destination, folderName)};
    if (!backup->empty()) targets.push_back(TargetPath(*backup, folderName));
    for (const std::wstring& target : targets) {
        plan->target = target;
        if (const auto tooLong = FirstPathTooLong(*plan)) {
            services.dialogs.ShowMessage(PathTooLongMessage(*tooLong));
            return;
        }
    }
    plan->target = targets.front();
    if (options.readCardOnce) {
        CopyByItself(services, owner, *plan, targets, files, options.verify);
        return;
    }
    if (!MakeTargets(services, targets)) return;
    // Each copy from the card, so that neither copy takes on what went wrong in the other; `files.only` is what
    // was copied when only the new files were.
    int result = 0;
    for (auto target = targets.begin(); target != targets.end() && result == 0; ++target) {
        result = files.only ? CopyFilesBelow(services.shell, owner, source, *target, *files.only)
                            : CopyFolder(services.shell, owner, SourcePattern(source), *target, false);
    }
    if (result == 0 && options.verify) {
        VerifyAndReport(services, owner, *plan, targets, files);
        return;
    }
    ReportOutcome(services, owner, result, targets, files);
}

}  // namespace

std::wstring FolderNameForDate(const LocalDate& date)
{
    auto padded = [](int value, std::size_t width) {
        std::wstring digits = std::to_wstring(value);
        if (digits.size() < width) digits.insert(0, width - digits.size(), L'0');
        return digits;
    };
    return padded(date.year, 4) + L"_" + padded(date.month, 2) + padded(date.day, 2);
}

void RunCopy(const Services& services, WindowHandle owner, const std::wstring& destinationText,
             const std::wstring& sourceText, const Options& options)
{
    try {
        CopySteps(services, owner, destinationText, sourceText, options);
    } catch (const Failure& failure) {
        if (failure.code() != 0) services.dialogs.ShowMessage(FailureMessage(failure.code()));
    }
}

}  // namespace korvane
