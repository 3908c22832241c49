#include "core/earlier_copies/already_copied.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "core/common/path_limits.h"
#include "core/common/path_text.h"
#include "platform/failure.h"

namespace korvane {
namespace {

constexpr std::uint64_t kTwoSeconds = 2 * 10'000'000ull;  // in the listing's 100-nanosecond steps
constexpr std::uint64_t kOneHour = 3600 * 10'000'000ull;

wchar_t FoldCase(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Relative paths as the file system compares them, as far as a camera's names go: without regard to ASCII case.
struct FoldedHash {
    std::size_t operator()(const std::wstring& path) const noexcept
    {
        std::size_t hash = 14695981039346656037ull;  // FNV-1a
        for (wchar_t c : path) hash = (hash ^ static_cast<std::size_t>(FoldCase(c))) * 1099511628211ull;
        return hash;
    }
};
struct FoldedEqual {
    bool operator()(const std::wstring& a, const std::wstring& b) const noexcept
    {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                          [](wchar_t x, wchar_t y) { return FoldCase(x) == FoldCase(y); });
    }
};

// The card's files; nothing when the plan misses some of them or a path of the card is too long for the copy.
const std::vector<PlannedFile>* CardFiles(const CopyPlan& card)
{
    // Files that could not be seen must not be left out of the copy.
    if (!card.Complete()) return nullptr;
    for (const PlannedFile& file : card.files) {
        if (card.SourcePath(file.relativePath).size() > kLongestFilePath) return nullptr;
    }
    return &card.files;
}

std::vector<std::wstring> EarlierFolders(const FileSystem& files, const std::wstring& destination,
                                         EarlierCopies& found)
{
    try {
        return files.ListSubfolders(destination);
    } catch (const Failure&) {
        found.unreadableFolders.push_back(destination);
        return {};
    }
}

// Up to three folders, one a line, then how many more.
std::wstring FolderLines(const std::vector<std::wstring>& folders)
{
    constexpr std::size_t kShown = 3;
    std::wstring lines;
    for (std::size_t i = 0; i < folders.size() && i < kShown; ++i) lines += L"\r\n" + folders[i];
    if (folders.size() > kShown) lines += L"\r\nほか " + std::to_wstring(folders.size() - kShown) + L" 個のフォルダ";
    return lines;
}

// The folders where copies were found, and those that could not be looked into.
std::wstring FoundWhere(const EarlierCopies& found)
{
    std::wstring text = FolderLines(found.holdingFolders);
    if (!found.unreadableFolders.empty())
        text += L"\r\n\r\n次のフォルダは読めなかったため、確かめていません：" + FolderLines(found.unreadableFolders);
    return text;
}

const wchar_t kQuestionTitle[] = L"コピー";

MessageBoxSpec AllCopiedQuestion(const EarlierCopies& found)
{
    return {L"このカードのファイルはすべてコピー済みです。" + FoundWhere(found) + L"\r\n\r\nもう一度コピーしますか？",
            MessageIcon::Question, MessageButtons::YesNo, true, kQuestionTitle};
}

MessageBoxSpec SomeCopiedQuestion(const EarlierCopies& found)
{
    const std::size_t total = found.copiedFiles + found.newFiles.size();
    return {std::to_wstring(total) + L" 個のファイルのうち " + std::to_wstring(found.copiedFiles) +
                L" 個はコピー済みです。" + FoundWhere(found) + L"\r\n\r\n新しい " +
                std::to_wstring(found.newFiles.size()) +
                L" 個だけをコピーしますか？\r\n（「いいえ」を選ぶと、すべてのファイルをコピーします）",
            MessageIcon::Question, MessageButtons::YesNoCancel, false, kQuestionTitle};
}

}  // namespace

bool IsCopyOf(const PlannedFile& sourceFile, const TreeEntry& earlierFile)
{
    if (sourceFile.size != earlierFile.size) return false;
    const auto a = static_cast<std::uint64_t>(sourceFile.lastWriteTime);
    const auto b = static_cast<std::uint64_t>(earlierFile.lastWriteTime);
    const std::uint64_t apart = a > b ? a - b : b - a;
    const std::uint64_t fromAnHour = apart > kOneHour ? apart - kOneHour : kOneHour - apart;
    return apart <= kTwoSeconds || fromAnHour <= kTwoSeconds;
}

std::optional<EarlierCopies> FindEarlierCopies(const FileSystem& files, const CopyPlan& card,
                                               const std::wstring& destination, std::stop_token stop)
{
    const std::vector<PlannedFile>* const sourceFiles = CardFiles(card);
    if (sourceFiles == nullptr) return std::nullopt;
    std::unordered_map<std::wstring, std::size_t, FoldedHash, FoldedEqual> index;
    index.reserve(sourceFiles->size());
    for (std::size_t i = 0; i < sourceFiles->size(); ++i) index.emplace((*sourceFiles)[i].relativePath, i);

    EarlierCopies found;
    std::vector<bool> copied(sourceFiles->size(), false);
    std::wstring sourceFolder = card.source;
    RemoveLastBackslash(sourceFolder);
    for (const std::wstring& name : EarlierFolders(files, destination, found)) {
        if (stop.stop_requested()) return std::nullopt;
        const std::wstring folder = JoinPath(destination, name);
        if (FoldedEqual{}(folder, sourceFolder)) continue;  // a source directly under the destination is no copy
        TreeListing listing;
        try {
            listing = files.ListTree(folder);
        } catch (const Failure&) {
            found.unreadableFolders.push_back(folder);
            continue;
        }
        for (const std::wstring& unreadable : listing.unreadableFolders)
            found.unreadableFolders.push_back(JoinPath(folder, unreadable));
        bool holds = false;
        for (const TreeEntry& entry : listing.entries) {
            if (entry.isFolder) continue;
            const auto match = index.find(entry.relativePath);
            if (match == index.end() || !IsCopyOf((*sourceFiles)[match->second], entry)) continue;
            copied[match->second] = true;
            holds = true;
        }
        if (holds) found.holdingFolders.push_back(folder);
    }
    std::sort(found.holdingFolders.begin(), found.holdingFolders.end());
    for (std::size_t i = 0; i < copied.size(); ++i) {
        if (copied[i]) {
            ++found.copiedFiles;
        } else {
            found.newFiles.push_back((*sourceFiles)[i].relativePath);
        }
    }
    return found;
}

std::optional<FilesToCopy> ChooseFilesToCopy(const Services& services, WindowHandle owner, const CopyPlan& card,
                                             const std::wstring& destination)
{
    std::optional<EarlierCopies> found;
    const bool finished = services.dialogs.WaitFor(owner, [&](std::stop_token stop) {
        found = FindEarlierCopies(services.fileSystem, card, destination, stop);
    });
    if (!finished) return std::nullopt;
    if (!found || found->copiedFiles == 0) return FilesToCopy{};
    if (found->newFiles.empty()) {
        if (services.dialogs.ShowMessage(AllCopiedQuestion(*found)) != MessageAnswer::Yes) return std::nullopt;
        return FilesToCopy{};
    }
    switch (services.dialogs.ShowMessage(SomeCopiedQuestion(*found))) {
    case MessageAnswer::Yes: return FilesToCopy{std::move(found->newFiles), found->copiedFiles};
    case MessageAnswer::No: return FilesToCopy{};
    default: return std::nullopt;
    }
}

std::wstring LeftOutLine(const FilesToCopy& files)
{
    if (files.leftOut == 0) return {};
    return L"コピー済みの " + std::to_wstring(files.leftOut) + L" 個のファイルは除きました";
}

}  // namespace korvane
