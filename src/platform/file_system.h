#pragma once
#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "platform/failure.h"

namespace korvane {

enum class LookupKind { FilesOnly, FilesAndFolders };

// One entry found below a listed folder.
struct TreeEntry {
    std::wstring relativePath;       // below the listed folder, its names joined by "\"
    bool isFolder = false;
    std::uint64_t size = 0;          // in bytes; 0 for a folder
    std::int64_t lastWriteTime = 0;  // in 100-nanosecond steps since 1601-01-01 UTC, as the system keeps it
    bool operator==(const TreeEntry&) const = default;
};

// Everything below one folder, at all depths.
struct TreeListing {
    std::vector<TreeEntry> entries;                // hidden and system ones included; a folder before its contents
    std::vector<std::wstring> unreadableFolders;  // relative paths of sub-folders that could not be listed
};

// Which folder a path leads to, whatever the text that names it (another drive letter, a link on the way, the
// case of its letters): the volume's serial number and the folder's index on that volume.
struct FolderIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FolderIdentity&) const = default;
};

// Everything the program asks of the file system.
class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The largest file ReadFile reads: above any settings file the program writes (32,767 destinations whose
    // names and paths are 260 Japanese characters each take about 35 MB), far below what would exhaust memory.
    static constexpr std::uint64_t kReadLimit = 64ull << 20;

    // The one look-up behind every existence test: the name of the first entry that matches `path`, or nothing.
    // Folders count only with FilesAndFolders. A path ending in "\" stands for that folder, and is found
    // whatever the folder's attributes; without it, hidden and system entries never count.
    // Throws Failure: code 52 (kBadFileName) for a malformed path, other codes for other failures.
    virtual std::optional<std::wstring> Lookup(const std::wstring& path, LookupKind kind) const = 0;

    // The immediate sub-folders of `folder` (hidden and system ones included, never "." and ".."), in the
    // platform's listing order. Throws Failure: code 76 (kPathNotFound) when no folder is there or its path is
    // malformed, another code with the system's reason for any other failure (a folder that cannot be read).
    virtual std::vector<std::wstring> ListSubfolders(const std::wstring& folder) const = 0;

    // Every file and folder below `folder`, at all depths, in the platform's listing order within a folder. A
    // sub-folder that cannot be listed is named in `unreadableFolders` and the listing goes on. A folder link or
    // junction is listed as a folder but never entered: it may lead back to a folder above it. Looks at `stop`
    // as it goes: once a stop is asked for, it returns at once with what it has listed so far (the caller that
    // asked knows the listing is partial). Throws Failure as ListSubfolders does when `folder` itself cannot be
    // listed.
    virtual TreeListing ListTree(const std::wstring& folder, std::stop_token stop) const = 0;

    // The identity of the folder at `folder`, the same through every name that reaches it (a drive letter
    // mapped to it or to a folder above it, a link, a network path); nothing when no folder is there or it cannot be
    // opened.
    virtual std::optional<FolderIdentity> IdentityOf(const std::wstring& folder) const = 0;

    // The whole content of the file at `path` (hidden and system files included), or nothing when no file is
    // there. Throws Failure: kFileTooLarge, before reading, for a file larger than kReadLimit; the system's
    // error with its reason for any other failure.
    virtual std::optional<std::string> ReadFile(const std::wstring& path) const = 0;

    // Replaces (or creates) the file at `path` with `bytes` atomically: a crash leaves the old content or the
    // new one. The attributes of a file being replaced are kept. Temporary files that earlier writes of the same
    // file left behind when they were killed are removed. Throws Failure with the system's reason.
    virtual void WriteFileAtomically(const std::wstring& path, std::string_view bytes) = 0;

    // Makes the folder `path`, whose parent folder exists; a folder already there is kept as it is (a copy then
    // merges into it). Throws Failure with the system's reason when it cannot be made (a file of that name, a
    // name the file system refuses, a parent that is gone, no right to write).
    virtual void CreateFolder(const std::wstring& path) = 0;

    // The bytes the user may still write on the disk that holds `folder`. Throws Failure with the system's reason
    // when it cannot say (no folder there, a disk that is gone).
    virtual std::uint64_t FreeBytes(const std::wstring& folder) const = 0;

    // The root of the volume that holds `path` ("E:\\", or the folder a volume is mounted on), or nothing when
    // the system cannot say. Throws nothing.
    virtual std::optional<std::wstring> VolumeOf(const std::wstring& path) const = 0;

    // The folder of the running executable, without a trailing "\". Throws Failure when the system cannot say.
    virtual std::wstring ExecutableFolder() const = 0;
};

}  // namespace korvane
