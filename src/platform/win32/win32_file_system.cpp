#include "platform/win32/win32_file_system.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <string>

#include "platform/failure.h"
#include "platform/win32/win32_errors.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_paths.h"

namespace korvane {
namespace {

// "C:", "\\server\share" (without the trailing backslash), or their extended-length forms.
bool IsRoot(std::wstring_view path)
{
    if (path.starts_with(kExtendedPrefix)) path.remove_prefix(4);
    if (path.size() == 2 && path[1] == L':') return true;
    if (path.starts_with(L"UNC\\")) path.remove_prefix(2);
    if (!path.starts_with(L"\\\\")) return false;
    const std::size_t shareStart = path.find(L'\\', 2);
    return shareStart != std::wstring_view::npos && shareStart > 2 && shareStart + 1 < path.size() &&
           path.find(L'\\', shareStart + 1) == std::wstring_view::npos;
}

// "*" and "?" are wildcards to FindFirstFileExW, and so are "<", ">" and '"'; "|" is never part of a name, and
// ":" only after a drive letter (elsewhere it would name a stream of a file).
bool HoldsPatternCharacter(std::wstring_view path)
{
    if (path.starts_with(kExtendedPrefix)) path.remove_prefix(4);
    if (path.size() >= 2 && path[1] == L':') path.remove_prefix(2);
    return path.find_first_of(L"*?<>\"|:") != std::wstring_view::npos;
}

bool IsDotEntry(const wchar_t* name) { return wcscmp(name, L".") == 0 || wcscmp(name, L"..") == 0; }

// The name a write of `target` gives its temporary file: "<target>.<process id>-<number>.tmp".
std::wstring TemporaryName(const std::wstring& target, DWORD processId, unsigned number)
{
    return target + L"." + std::to_wstring(processId) + L"-" + std::to_wstring(number) + L".tmp";
}

bool IsDecimal(std::wstring_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// Whether `name` is "<targetName>.<digits>-<digits>.tmp" (compared without regard to case, as the system does).
bool IsTemporaryNameOf(std::wstring_view name, std::wstring_view targetName)
{
    if (name.size() <= targetName.size() + 1 ||
        CompareStringOrdinal(name.data(), static_cast<int>(targetName.size()), targetName.data(),
                             static_cast<int>(targetName.size()), TRUE) != CSTR_EQUAL ||
        name[targetName.size()] != L'.')
        return false;
    std::wstring_view rest = name.substr(targetName.size() + 1);
    constexpr std::wstring_view kExtension = L".tmp";
    if (rest.size() < kExtension.size() ||
        CompareStringOrdinal(rest.data() + rest.size() - kExtension.size(), static_cast<int>(kExtension.size()),
                             kExtension.data(), static_cast<int>(kExtension.size()), TRUE) != CSTR_EQUAL)
        return false;
    rest.remove_suffix(kExtension.size());
    const std::size_t dash = rest.find(L'-');
    return dash != std::wstring_view::npos && IsDecimal(rest.substr(0, dash)) && IsDecimal(rest.substr(dash + 1));
}

// Deletes the temporary files that writes of `target` killed part-way left beside it. Best effort: a file that
// another process's write still holds open (they are opened without sharing), or a read-only one, stays.
void RemoveStrayTemporaries(const std::wstring& target)
{
    const std::size_t slash = target.find_last_of(L'\\');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring{} : target.substr(0, slash + 1);
    const std::wstring targetName = target.substr(folder.size());
    WIN32_FIND_DATAW data{};
    const UniqueFindHandle find(FindFirstFileExW((target + L".*-*.tmp").c_str(), FindExInfoBasic, &data,
                                                 FindExSearchNameMatch, nullptr, 0));
    if (!find.valid()) return;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsTemporaryNameOf(data.cFileName, targetName))
            DeleteFileW((folder + data.cFileName).c_str());
    } while (FindNextFileW(find.get(), &data));
}

// A file beside the target that is deleted on destruction unless it has been moved into place.
class TemporaryFile {
public:
    TemporaryFile(const std::wstring& target, DWORD attributes)
    {
        static std::atomic<unsigned> counter{0};
        for (int attempt = 0; attempt < 100 && !handle_.valid(); ++attempt) {
            path_ = TemporaryName(target, GetCurrentProcessId(), ++counter);
            handle_ = UniqueFileHandle(
                CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr));
            if (!handle_.valid() && GetLastError() != ERROR_FILE_EXISTS) ThrowLastError();
        }
        if (!handle_.valid()) ThrowFailure(ERROR_FILE_EXISTS);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        handle_.reset();
        if (!moved_) DeleteFileW(path_.c_str());
    }

    void Write(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
            DWORD written = 0;
            if (!::WriteFile(handle_.get(), bytes.data(), chunk, &written, nullptr)) ThrowLastError();
            bytes.remove_prefix(written);
        }
        if (!FlushFileBuffers(handle_.get())) ThrowLastError();
    }

    void MoveOver(const std::wstring& target)
    {
        handle_.reset();
        if (!MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            ThrowLastError();
        moved_ = true;
    }

private:
    std::wstring path_;
    UniqueFileHandle handle_;
    bool moved_ = false;
};

std::wstring AddLastSeparator(std::wstring folder)
{
    if (folder.empty() || folder.back() != L'\\') folder += L'\\';
    return folder;
}

// Whether a listed folder leads to another place (a link, a junction, a mounted volume), which a listing must not
// enter: a link to a folder above it would make the listing endless. A reparse point whose tag is not given
// (dwReserved0 is 0, as for Wine's symbolic links) counts as one.
bool LeadsElsewhere(const WIN32_FIND_DATAW& data)
{
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    return data.dwReserved0 == 0 || IsReparseTagNameSurrogate(data.dwReserved0);
}

// Calls `visit` with every entry of `folder` but "." and "..", until `stop` is asked for. Only "there is no such
// folder" is told apart (path-not-found, 76); every other failure keeps its own code and the system's reason.
template <typename Visit>
void ListFolder(const std::wstring& folder, FINDEX_SEARCH_OPS search, std::stop_token stop, Visit&& visit)
{
    const auto fail = [](DWORD error) {
        switch (error) {
        case ERROR_PATH_NOT_FOUND:
        case ERROR_FILE_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_DIRECTORY:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return Failure(failure_code::kPathNotFound, SystemReason(error));
        default:
            return Failure(FailureCodeFor(error), SystemReason(error));
        }
    };
    if (HoldsPatternCharacter(folder)) throw fail(ERROR_INVALID_NAME);

    const std::wstring pattern = SystemPath(AddLastSeparator(folder) + L'*');
    WIN32_FIND_DATAW data{};
    const UniqueFindHandle find(
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, search, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find.valid()) {
        const DWORD error = GetLastError();
        // An empty drive root has not even "." to match; any other existing folder has.
        const DWORD attributes = GetFileAttributesW(pattern.substr(0, pattern.size() - 1).c_str());
        if (error == ERROR_FILE_NOT_FOUND && attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return;
        throw fail(error);
    }
    do {
        if (stop.stop_requested()) return;
        if (!IsDotEntry(data.cFileName)) visit(data);
    } while (FindNextFileW(find.get(), &data));
    if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES) throw fail(error);
}

}  // namespace

std::optional<std::wstring> Win32FileSystem::Lookup(const std::wstring& path, LookupKind kind) const
{
    if (HoldsPatternCharacter(path)) throw Failure(failure_code::kBadFileName);
    const bool folderOnly = !path.empty() && path.back() == L'\\';
    const std::wstring entry = SystemPath(folderOnly ? path.substr(0, path.size() - 1) : path);

    if (IsRoot(entry)) {
        const DWORD attributes = GetFileAttributesW((entry + L"\\").c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            if (IsMissing(error) || error == ERROR_BAD_NETPATH || error == ERROR_BAD_NET_NAME) return std::nullopt;
            ThrowFailure(error);
        }
        if (kind == LookupKind::FilesOnly || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
        return path;
    }

    WIN32_FIND_DATAW data{};
    const UniqueFindHandle find(
        FindFirstFileExW(entry.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    if (!find.valid()) {
        const DWORD error = GetLastError();
        if (IsMissing(error)) return std::nullopt;
        ThrowFailure(error);
    }
    // Named with its trailing backslash, a folder counts whatever its attributes.
    if (!folderOnly && (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) return std::nullopt;
    const bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder ? kind == LookupKind::FilesOnly : folderOnly) return std::nullopt;
    return std::wstring(data.cFileName);
}

std::vector<std::wstring> Win32FileSystem::ListSubfolders(const std::wstring& folder) const
{
    std::vector<std::wstring> names;
    ListFolder(folder, FindExSearchLimitToDirectories, {}, [&](const WIN32_FIND_DATAW& data) {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) names.emplace_back(data.cFileName);
    });
    return names;
}

TreeListing Win32FileSystem::ListTree(const std::wstring& folder, std::stop_token stop) const
{
    TreeListing listing;
    const std::wstring root = AddLastSeparator(folder);
    // Breadth first, without recursion: a card's depth is not the stack's business.
    std::vector<std::wstring> pending{std::wstring{}};
    for (std::size_t next = 0; next < pending.size() && !stop.stop_requested(); ++next) {
        const std::wstring parent = pending[next];
        const auto visit = [&](const WIN32_FIND_DATAW& data) {
            TreeEntry entry;
            entry.relativePath = parent.empty() ? std::wstring(data.cFileName) : parent + L'\\' + data.cFileName;
            entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            if (!entry.isFolder) entry.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
            entry.lastWriteTime = static_cast<std::int64_t>((std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                                            data.ftLastWriteTime.dwLowDateTime);
            if (entry.isFolder && !LeadsElsewhere(data)) pending.push_back(entry.relativePath);
            listing.entries.push_back(std::move(entry));
        };
        if (parent.empty()) {
            ListFolder(folder, FindExSearchNameMatch, stop, visit);
            continue;
        }
        try {
            ListFolder(root + parent, FindExSearchNameMatch, stop, visit);
        } catch (const Failure&) {
            listing.unreadableFolders.push_back(parent);
        }
    }
    return listing;
}

std::optional<FolderIdentity> Win32FileSystem::IdentityOf(const std::wstring& folder) const
{
    std::wstring path;
    try {
        path = SystemPath(folder);
    } catch (const Failure&) {
        return std::nullopt;
    }
    // Backup semantics open a folder; without FILE_FLAG_OPEN_REPARSE_POINT a link is followed to its target.
    const UniqueFileHandle handle(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!handle.valid() || !GetFileInformationByHandle(handle.get(), &information)) return std::nullopt;
    if (!(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return FolderIdentity{information.dwVolumeSerialNumber,
                          (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

std::optional<std::string> Win32FileSystem::ReadFile(const std::wstring& path) const
{
    const std::wstring systemPath = SystemPath(path);
    const UniqueFileHandle file(CreateFileW(systemPath.c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        if (IsMissing(error)) return std::nullopt;
        const DWORD attributes = GetFileAttributesW(systemPath.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
        ThrowFailure(error);
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) ThrowLastError();
    if (static_cast<std::uint64_t>(size.QuadPart) > kReadLimit) throw Failure(failure_code::kFileTooLarge);
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - filled, 1u << 30));
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes.data() + filled, chunk, &read, nullptr)) ThrowLastError();
        if (read == 0) break;  // the file shrank while being read
        filled += read;
    }
    bytes.resize(filled);
    return bytes;
}

void Win32FileSystem::WriteFileAtomically(const std::wstring& path, std::string_view bytes)
{
    const std::wstring target = SystemPath(path);
    const DWORD oldAttributes = GetFileAttributesW(target.c_str());
    constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (oldAttributes != INVALID_FILE_ATTRIBUTES) {
        // Refuse what a rename would replace without complaint but the user has protected or cannot be a file.
        if (oldAttributes & FILE_ATTRIBUTE_DIRECTORY) ThrowFailure(ERROR_ACCESS_DENIED);
        if (oldAttributes & FILE_ATTRIBUTE_READONLY) ThrowFailure(ERROR_ACCESS_DENIED);
        if (oldAttributes & kKeptAttributes) attributes = oldAttributes & kKeptAttributes;
    }
    TemporaryFile temporary(target, attributes);
    temporary.Write(bytes);
    temporary.MoveOver(target);
    RemoveStrayTemporaries(target);
}

void Win32FileSystem::CreateFolder(const std::wstring& path)
{
    const std::wstring folder = SystemPath(path);
    if (CreateDirectoryW(folder.c_str(), nullptr)) return;
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return;
    ThrowFailure(error);
}

std::uint64_t Win32FileSystem::FreeBytes(const std::wstring& folder) const
{
    std::wstring path = SystemPath(folder);
    if (!path.ends_with(L'\\')) path += L'\\';  // the call wants a folder's path to end in one
    ULARGE_INTEGER free{};
    if (!GetDiskFreeSpaceExW(path.c_str(), &free, nullptr, nullptr)) ThrowLastError();
    return free.QuadPart;
}

std::optional<std::wstring> Win32FileSystem::VolumeOf(const std::wstring& path) const
{
    const std::wstring systemPath = SystemPath(path);
    std::wstring root(systemPath.size() + 2, L'\0');  // the root is never longer than the path and its "\"
    if (!GetVolumePathNameW(systemPath.c_str(), root.data(), static_cast<DWORD>(root.size()))) return std::nullopt;
    root.resize(wcslen(root.c_str()));
    return root;
}

std::wstring Win32FileSystem::ExecutableFolder() const
{
    std::wstring module(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
        if (length == 0) ThrowLastError();
        if (length < module.size()) {
            module.resize(length);
            break;
        }
        module.resize(module.size() * 2);
    }
    return module.substr(0, module.find_last_of(L'\\'));
}

}  // namespace korvane
