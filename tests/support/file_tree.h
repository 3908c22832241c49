#pragma once
// Real folder trees for the Windows tests and benchmarks: a temporary folder that removes itself, a sample
// camera-card tree, and whole-tree listing and reading for byte-for-byte comparisons.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/win32_handles.h"

namespace korvane::testing::filetree {

inline std::runtime_error SystemError(const char* what)
{
    return std::runtime_error(std::string(what) + " failed, error " + std::to_string(GetLastError()));
}

// Calls `onEntry(name, isFolder)` for every entry of `folder` but "." and "..".
template <typename OnEntry>
void ForEachEntry(const std::wstring& folder, OnEntry onEntry)
{
    WIN32_FIND_DATAW data{};
    const UniqueFindHandle find(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                                 FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find.valid()) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return;
        throw SystemError("FindFirstFileExW");
    }
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        onEntry(name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileW(find.get(), &data));
}

// Removes `folder` with everything in it, read-only, hidden and system entries included.
inline void RemoveTree(const std::wstring& folder)
{
    ForEachEntry(folder, [&](const std::wstring& name, bool isFolder) {
        const std::wstring path = folder + L"\\" + name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (isFolder) {
            RemoveTree(path);
        } else {
            DeleteFileW(path.c_str());
        }
    });
    RemoveDirectoryW(folder.c_str());
}

// A fresh, empty folder under the system's temporary folder, removed with its content when destroyed.
class TempFolder {
public:
    TempFolder()
    {
        wchar_t base[MAX_PATH + 1]{};
        if (GetTempPathW(MAX_PATH + 1, base) == 0) throw SystemError("GetTempPathW");
        for (unsigned attempt = GetTickCount();; ++attempt) {
            path_ = std::wstring(base) + L"korvane_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                    std::to_wstring(attempt);
            if (CreateDirectoryW(path_.c_str(), nullptr)) return;
            if (GetLastError() != ERROR_ALREADY_EXISTS) throw SystemError("CreateDirectoryW");
        }
    }
    ~TempFolder() { RemoveTree(L"\\\\?\\" + path_); }  // the long form reaches paths past MAX_PATH
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    std::wstring path_;
};

inline void MakeFolder(const std::wstring& path)
{
    if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw SystemError("CreateDirectoryW");
}

// Writes `bytes` as the whole file at `path`, then gives it `attributes` (FILE_ATTRIBUTE_*) when not 0.
inline void WriteBytes(const std::wstring& path, std::string_view bytes, DWORD attributes = 0)
{
    const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) throw SystemError("CreateFileW");
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        throw SystemError("WriteFile");
    if (attributes != 0 && !SetFileAttributesW(path.c_str(), attributes)) throw SystemError("SetFileAttributesW");
}

inline std::string ReadBytes(const std::wstring& path)
{
    const UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) throw SystemError("CreateFileW");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) throw SystemError("GetFileSizeEx");
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        throw SystemError("ReadFile");
    return bytes;
}

// Bytes that differ from file to file (xorshift32 from `seed`), so that a swapped or shifted copy shows.
inline std::string SampleBytes(std::size_t size, std::uint32_t seed)
{
    std::string bytes(size, '\0');
    std::uint32_t state = seed * 2654435761u + 1u;
    for (char& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

inline constexpr int kSampleSmallFiles = 1000;
inline constexpr std::size_t kSampleLargeFileSize = 50u * 1024u * 1024u;

// A camera card's worth: nested sub-folders, Japanese folder and file names, an empty folder, 1,000 small
// files (one of them empty) and one 50 MB file.
inline void BuildSampleTree(const std::wstring& root)
{
    struct Folder {
        std::wstring path;
        const wchar_t* prefix;
        int files;
    };
    const Folder folders[] = {
        {L"DCIM", L"IMG_", 300},
        {L"DCIM\\100_旅行", L"写真_", 300},
        {L"DCIM\\100_旅行\\二日目", L"風景_", 200},
        {L"DCIM\\100_旅行\\二日目\\選択済み", L"ポスター_", 150},
        {L"メモ", L"メモ帳_", 50},
    };
    int seed = 0;
    for (const auto& folder : folders) {
        MakeFolder(root + L"\\" + folder.path);
        for (int i = 0; i < folder.files; ++i, ++seed) {
            const std::wstring name = folder.prefix + std::to_wstring(1000 + i) + L".jpg";
            WriteBytes(root + L"\\" + folder.path + L"\\" + name,
                       SampleBytes(static_cast<std::size_t>(seed * 37 % 8192), static_cast<std::uint32_t>(seed)));
        }
    }
    MakeFolder(root + L"\\空のフォルダ");
    MakeFolder(root + L"\\動画");
    WriteBytes(root + L"\\動画\\運動会.mts", SampleBytes(kSampleLargeFileSize, 0xC0FFEEu));
}

// Every entry under `root`, relative to it, in listing order; folders end in "\".
inline std::vector<std::wstring> ListTree(const std::wstring& root, const std::wstring& relative = {})
{
    std::vector<std::wstring> entries;
    const std::wstring folder = relative.empty() ? root : root + L"\\" + relative;
    ForEachEntry(folder, [&](const std::wstring& name, bool isFolder) {
        const std::wstring path = relative.empty() ? name : relative + L"\\" + name;
        entries.push_back(isFolder ? path + L"\\" : path);
        if (isFolder) {
            const auto inner = ListTree(root, path);
            entries.insert(entries.end(), inner.begin(), inner.end());
        }
    });
    return entries;
}

// The same entries sorted, so that two trees listed in different orders compare equal.
inline std::vector<std::wstring> SortedTree(const std::wstring& root)
{
    auto entries = ListTree(root);
    std::sort(entries.begin(), entries.end());
    return entries;
}

// The files of `expectedRoot` whose copy under `actualRoot` differs in any byte (or cannot be read).
inline std::vector<std::wstring> FilesThatDiffer(const std::wstring& expectedRoot, const std::wstring& actualRoot)
{
    std::vector<std::wstring> differing;
    for (const auto& entry : SortedTree(expectedRoot)) {
        if (entry.back() == L'\\') continue;
        try {
            if (ReadBytes(expectedRoot + L"\\" + entry) != ReadBytes(actualRoot + L"\\" + entry))
                differing.push_back(entry);
        } catch (const std::runtime_error&) {
            differing.push_back(entry);
        }
    }
    return differing;
}

}  // namespace korvane::testing::filetree
