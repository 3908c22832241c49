#include "core/backup/backup_folder.h"

#include "core/common/error_box.h"
#include "core/common/path_text.h"
#include "platform/failure.h"

namespace korvane {
namespace {

enum class Refusal { IsTheDestination, InTheCard, OnTheCardsDrive };

MessageBoxSpec RefusalMessage(Refusal refusal, const std::wstring& backup)
{
    switch (refusal) {
    case Refusal::IsTheDestination:
        return ErrorBox(L"バックアップ先のフォルダが保存先と同じため、コピーできません：\r\n" + backup);
    case Refusal::InTheCard:
        return ErrorBox(L"バックアップ先のフォルダがコピー元の中にあるため、コピーできません：\r\n" + backup);
    case Refusal::OnTheCardsDrive:
        break;
    }
    return ErrorBox(L"バックアップ先のフォルダがコピー元と同じドライブにあるため、コピーできません：\r\n" + backup +
                    L"\r\n\r\nカードとは別のディスクのフォルダを選んでください");
}

MessageBoxSpec BackupUnknownMessage(const std::wstring& backup, const std::wstring& reason)
{
    return ErrorBox(L"バックアップ先のフォルダを確かめられないため、コピーできません：\r\n" + backup +
                    (reason.empty() ? L"" : L"\r\n" + reason));
}

MessageBoxSpec BackupMissingQuestion(const std::wstring& backup)
{
    return {L"バックアップ先のフォルダ：\r\n" + backup + L"\r\nは存在しません\r\n\r\n保存先だけにコピーしますか？",
            MessageIcon::Exclamation, MessageButtons::YesNo, true, L"確認"};
}

// A path as Windows compares names: ASCII case ignored, without its trailing "\".
std::wstring Folded(std::wstring path)
{
    RemoveLastBackslash(path);
    for (wchar_t& c : path) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return path;
}

// The folder that holds `folder` ("E:\" for "E:\DCIM"), or nothing for a root.
std::optional<std::wstring> ParentOf(std::wstring folder)
{
    RemoveLastBackslash(folder);
    const std::size_t last = folder.rfind(L'\\');
    if (last == std::wstring::npos || last + 1 == folder.size()) return std::nullopt;
    std::wstring parent = folder.substr(0, last);
    if (parent.empty() || parent.back() == L':' || parent == L"\\") parent += L'\\';
    return parent;
}

bool SameFolder(const FileSystem& files, const std::wstring& a, const std::wstring& b)
{
    if (Folded(a) == Folded(b)) return true;
    const auto identity = files.IdentityOf(a);
    return identity && identity == files.IdentityOf(b);
}

// Whether `folder` is `outer` or lies below it, by its text or by the identity of itself or a folder above it.
bool InsideOrSame(const FileSystem& files, const std::wstring& folder, const std::wstring& outer)
{
    if ((Folded(folder) + L'\\').starts_with(Folded(outer) + L'\\')) return true;
    const auto outerIdentity = files.IdentityOf(outer);
    if (!outerIdentity) return false;
    for (std::optional<std::wstring> at = folder; at; at = ParentOf(*at)) {
        if (files.IdentityOf(*at) == outerIdentity) return true;
    }
    return false;
}

std::optional<Refusal> RefusalOf(const FileSystem& files, const std::wstring& backup, const std::wstring& destination,
                                 const std::wstring& source)
{
    if (SameFolder(files, backup, destination)) return Refusal::IsTheDestination;
    if (InsideOrSame(files, backup, source)) return Refusal::InTheCard;
    const auto backupVolume = files.VolumeOf(backup);
    const auto cardVolume = files.VolumeOf(source);
    if (backupVolume && cardVolume && Folded(*backupVolume) == Folded(*cardVolume)) return Refusal::OnTheCardsDrive;
    return std::nullopt;
}

}  // namespace

std::wstring CopyLabel(std::size_t copy, const std::wstring& target)
{
    return (copy == 0 ? L"保存先：" : L"バックアップ：") + target;
}

std::optional<std::wstring> BackupFolderForRun(const Services& services, const std::wstring& backupFolder,
                                               const std::wstring& destination, const std::wstring& source)
{
    if (backupFolder.empty()) return backupFolder;
    if (const auto refusal = RefusalOf(services.fileSystem, backupFolder, destination, source)) {
        services.dialogs.ShowMessage(RefusalMessage(*refusal, backupFolder));
        return std::nullopt;
    }
    std::wstring folder = backupFolder;
    std::optional<std::wstring> found;
    try {
        found = services.fileSystem.Lookup(AddLastBackslash(folder), LookupKind::FilesAndFolders);
    } catch (const Failure& failure) {  // a name the file system refuses, a disk that does not answer
        services.dialogs.ShowMessage(BackupUnknownMessage(backupFolder, failure.reason()));
        return std::nullopt;
    }
    if (!found) {
        if (services.dialogs.ShowMessage(BackupMissingQuestion(backupFolder)) != MessageAnswer::Yes)
            return std::nullopt;
        return std::wstring{};
    }
    return backupFolder;
}

}  // namespace korvane
