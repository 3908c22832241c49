#pragma once
// An in-memory FileSystem for tests of the core: Windows-style paths ("C:\Photos\a.jpg"), names compared
// without regard to case, hidden and system attributes, and failures that a test can inject.
#include <algorithm>
#include <cwctype>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/file_system.h"

namespace korvane::testing {

class MemoryFileSystem : public FileSystem {
public:
    struct Entry {
        bool folder = false;
        bool hidden = false;
        bool system = false;
        std::string bytes;
        std::wstring name;  // the last component, as given
        std::int64_t lastWriteTime = 0;
        std::wstring path;  // as given, without a trailing backslash
        bool link = false;  // a folder link or junction: what is below it stands for its target's contents
        std::uint64_t index = 0;  // a folder's number, the same for every name of it
    };

    void AddFolder(const std::wstring& path, bool hidden = false, bool system = false)
    {
        entries_[Key(path)] = {true, hidden, system, {}, LastComponent(path), 0, Key(path, false), false, ++folders_};
    }
    // A folder link: listed as a folder, never entered by ListTree.
    void AddFolderLink(const std::wstring& path)
    {
        AddFolder(path);
        entries_[Key(path)].link = true;
    }
    // Makes the folder `secondName` another name of the folder `folder` (a mapped drive, a link): one identity.
    void MakeSameFolder(const std::wstring& secondName, const std::wstring& folder)
    {
        entries_.at(Key(secondName)).index = entries_.at(Key(folder)).index;
    }
    void AddFile(const std::wstring& path, std::string bytes, bool hidden = false, bool system = false,
                 std::int64_t lastWriteTime = 0)
    {
        entries_[Key(path)] = {false, hidden, system, std::move(bytes), LastComponent(path), lastWriteTime,
                               Key(path, false)};
    }
    void Remove(const std::wstring& path) { entries_.erase(Key(path)); }
    const Entry* Find(const std::wstring& path) const
    {
        auto it = entries_.find(Key(path));
        return it == entries_.end() ? nullptr : &it->second;
    }

    std::optional<Failure> failNextWrite;  // the next WriteFileAtomically throws this and writes nothing
    std::wstring executableFolder = L"C:\\Korvane";

    std::optional<std::wstring> Lookup(const std::wstring& path, LookupKind kind) const override
    {
        if (path.find_first_of(L"<>\"|") != std::wstring::npos) throw Failure(failure_code::kBadFileName);
        const bool folderOnly = !path.empty() && path.back() == L'\\';
        const Entry* entry = Find(folderOnly ? path.substr(0, path.size() - 1) : path);
        if (entry == nullptr) return std::nullopt;
        if (!folderOnly && (entry->hidden || entry->system)) return std::nullopt;
        if (entry->folder ? (kind == LookupKind::FilesOnly) : folderOnly) return std::nullopt;
        return entry->name;
    }

    std::vector<std::wstring> ListSubfolders(const std::wstring& folder) const override
    {
        std::wstring prefix = Key(folder);
        const Entry* self = Find(folder);
        if (self == nullptr || !self->folder) throw Failure(failure_code::kPathNotFound);
        prefix.push_back(L'\\');
        std::vector<std::wstring> names;
        for (const auto& [key, entry] : entries_) {
            if (entry.folder && key.starts_with(prefix) && key.find(L'\\', prefix.size()) == std::wstring::npos)
                names.push_back(entry.name);
        }
        return names;
    }

    // A folder whose path is in `unreadable` is listed as an entry and named as unreadable, its contents not; a
    // listing of that folder itself fails with code 70, as for a folder the user may not read. What is below a
    // link is not listed. `stop` is looked at before every entry, after `whileListing` has seen the one before.
    TreeListing ListTree(const std::wstring& folder, std::stop_token stop) const override
    {
        const Entry* self = Find(folder);
        if (self == nullptr || !self->folder) throw Failure(failure_code::kPathNotFound);
        const auto isUnreadable = [&](const std::wstring& key) {
            return std::any_of(unreadable.begin(), unreadable.end(), [&](const auto& path) { return Key(path) == key; });
        };
        if (isUnreadable(Key(folder))) throw Failure(70, L"アクセスが拒否されました。");
        const std::wstring prefix = Key(folder) + L'\\';
        const auto belowUnreadable = [&](const std::wstring& key) {
            return std::any_of(unreadable.begin(), unreadable.end(),
                               [&](const auto& path) { return key.starts_with(Key(path) + L'\\'); });
        };
        const auto belowLink = [&](const std::wstring& key) {
            return std::any_of(entries_.begin(), entries_.end(), [&](const auto& other) {
                return other.second.link && key.starts_with(other.first + L'\\') && other.first.starts_with(prefix);
            });
        };
        TreeListing listing;
        for (const auto& [key, entry] : entries_) {
            if (!key.starts_with(prefix) || belowUnreadable(key) || belowLink(key)) continue;
            if (stop.stop_requested()) break;
            std::wstring relative = entry.path.substr(prefix.size());
            if (isUnreadable(key)) listing.unreadableFolders.push_back(relative);
            listing.entries.push_back({std::move(relative), entry.folder, entry.folder ? 0 : entry.bytes.size(),
                                       entry.lastWriteTime});
            if (whileListing) whileListing(listing.entries.back());
        }
        return listing;
    }
    std::vector<std::wstring> unreadable;  // paths of folders that ListTree cannot list
    std::function<void(const TreeEntry&)> whileListing;  // sees each entry ListTree lists, as it lists it

    // Folders have identities, files none.
    std::optional<FolderIdentity> IdentityOf(const std::wstring& folder) const override
    {
        const Entry* entry = Find(folder);
        if (entry == nullptr || !entry->folder) return std::nullopt;
        return FolderIdentity{1, entry->index};
    }

    std::optional<std::string> ReadFile(const std::wstring& path) const override
    {
        const Entry* entry = Find(path);
        if (entry == nullptr || entry->folder) return std::nullopt;
        if (entry->bytes.size() > kReadLimit) throw Failure(failure_code::kFileTooLarge);
        return entry->bytes;
    }

    void WriteFileAtomically(const std::wstring& path, std::string_view bytes) override
    {
        if (failNextWrite) {
            Failure failure = *failNextWrite;
            failNextWrite.reset();
            throw failure;
        }
        auto it = entries_.find(Key(path));
        if (it == entries_.end()) {
            AddFile(path, std::string(bytes));
        } else {
            it->second.bytes = std::string(bytes);
        }
    }

    // As on Windows: a folder already there is kept; a file there, or a missing parent, fails with the system's
    // code and reason.
    void CreateFolder(const std::wstring& path) override
    {
        createdFolders.push_back(path);
        if (const Entry* entry = Find(path)) {
            if (entry->folder) return;
            throw Failure(58, L"既に存在するファイルを作成することはできません。");
        }
        const Entry* parent = Find(path.substr(0, path.find_last_of(L'\\')));
        if (parent == nullptr || !parent->folder) throw Failure(failure_code::kPathNotFound, L"指定されたパスが見つかりません。");
        AddFolder(path);
    }
    std::vector<std::wstring> createdFolders;  // every folder CreateFolder was asked for, in order

    // `freeBytes` on every disk but those of `freeBytesOfDrive`; a folder that is not there fails as the system's
    // call does.
    std::uint64_t FreeBytes(const std::wstring& folder) const override
    {
        if (Lookup(folder + L"\\", LookupKind::FilesAndFolders) == std::nullopt)
            throw Failure(failure_code::kPathNotFound, L"指定されたパスが見つかりません。");
        const auto drive = freeBytesOfDrive.find(static_cast<wchar_t>(std::towlower(folder.front())));
        return drive == freeBytesOfDrive.end() ? freeBytes : drive->second;
    }
    std::uint64_t freeBytes = 1ull << 40;
    std::map<wchar_t, std::uint64_t> freeBytesOfDrive;  // by the drive's letter in lower case

    // Makes the folder `path` another name of the folder `folder` (as a second drive letter or a link would).
    void Link(const std::wstring& path, const std::wstring& folder)
    {
        AddFolder(path);
        MakeSameFolder(path, folder);
    }

    // "D:\\" for a path on drive D:; nothing for any other path.
    std::optional<std::wstring> VolumeOf(const std::wstring& path) const override
    {
        if (path.size() < 2 || path[1] != L':') return std::nullopt;
        return path.substr(0, 2) + L"\\";
    }

    std::wstring ExecutableFolder() const override { return executableFolder; }

private:
    // Entries are keyed by their path folded to lower case, without a trailing backslash.
    static std::wstring Key(std::wstring path, bool folded = true)
    {
        if (!path.empty() && path.back() == L'\\') path.pop_back();
        if (!folded) return path;
        std::transform(path.begin(), path.end(), path.begin(), [](wchar_t c) { return std::towlower(c); });
        return path;
    }
    static std::wstring LastComponent(const std::wstring& path)
    {
        const std::wstring key = path.back() == L'\\' ? path.substr(0, path.size() - 1) : path;
        return key.substr(key.find_last_of(L'\\') + 1);
    }

    std::map<std::wstring, Entry> entries_;
    std::uint64_t folders_ = 0;
};

}  // namespace korvane::testing
