#pragma once
// Second names for test folders, made as the system at hand allows: on Windows with its own commands (a junction
// by "mklink /J", a drive letter by "subst"); under Wine, whose file system makes neither, with symbolic links of
// the host ("ln -s"), which Wine shows as reparse points, and as drives in the prefix's "dosdevices" folder.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <stop_token>
#include <string>
#include <thread>

#include "platform/win32/win32_handles.h"
#include "support/file_tree.h"

namespace korvane::testing {

inline bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// The host's path of a Windows path, under Wine ("C:\x" is ".../dosdevices/c:/x").
inline std::wstring HostPath(const std::wstring& path)
{
    using Convert = char*(CDECL*)(const wchar_t*);
    const auto convert =
        reinterpret_cast<Convert>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* host = convert != nullptr ? convert(path.c_str()) : nullptr;
    if (host == nullptr) throw filetree::SystemError("wine_get_unix_file_name");
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, host, -1, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, host, -1, wide.data(), static_cast<int>(wide.size()));
    HeapFree(GetProcessHeap(), 0, host);
    wide.pop_back();  // the NUL
    if (!wide.empty() && wide.back() == L'/') wide.pop_back();
    return wide;
}

// Runs `commandLine` (of `program`, or of the program it names first), then waits until `done` says that it has
// had its effect: Wine gives no exit code of a host program.
inline void RunUntil(const wchar_t* program, std::wstring commandLine, const std::function<bool()>& done)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process))
        throw filetree::SystemError("CreateProcessW");
    const UniqueHandle<HANDLE, &CloseHandle> processHandle(process.hProcess);
    const UniqueHandle<HANDLE, &CloseHandle> threadHandle(process.hThread);
    WaitForSingleObject(process.hProcess, 10'000);
    for (int tries = 0; !done(); ++tries) {
        if (tries == 100) throw std::runtime_error("a command had no effect");
        Sleep(50);
    }
}

inline bool IsThere(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A folder link at `link` to the folder `target`, removed (the link alone) when destroyed.
class FolderLink {
public:
    FolderLink(std::wstring link, const std::wstring& target) : link_(std::move(link))
    {
        if (UnderWine()) {
            RunUntil(L"Z:\\bin\\ln", L"ln -s \"" + HostPath(target) + L"\" \"" + HostPath(link_) + L"\"",
                     [&] { return IsThere(link_); });
        } else {
            RunUntil(nullptr, L"cmd /c mklink /J \"" + link_ + L"\" \"" + target + L"\"", [&] { return IsThere(link_); });
        }
    }
    ~FolderLink()
    {
        if (UnderWine()) {
            RunUntil(L"Z:\\bin\\rm", L"rm \"" + HostPath(link_) + L"\"", [&] { return !IsThere(link_); });
        } else {
            RemoveDirectoryW(link_.c_str());
        }
    }
    FolderLink(const FolderLink&) = delete;
    FolderLink& operator=(const FolderLink&) = delete;

private:
    std::wstring link_;
};

// Waits until the clock reaches its next whole second. A Wine process reads the prefix's drive letters into a
// list that it reads afresh at most once a second; a volume serial comes from the drive of that list whose root
// holds the file. A drive mapped (or unmapped) in the same second as the last reading is missing from (or still
// in) the list, and the serial of a folder then changes in the middle of a test, when the list is read again.
inline void AwaitWineDriveList()
{
    const auto second = [] {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        return ((std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime) / 10'000'000;
    };
    for (const auto changed = second(); second() == changed;) Sleep(20);
}

// The drive `letter` mapped to `folder`, as "subst" maps one, unmapped when destroyed. Under Wine, a folder
// under it has the serial of this drive through either name (Wine knows no serial of the new drive, and gives 0);
// on Windows, that of the drive the folder is on.
class MappedDrive {
public:
    MappedDrive(wchar_t letter, const std::wstring& folder) : root_{letter, L':', L'\\'}
    {
        if (UnderWine()) {
            RunUntil(L"Z:\\bin\\ln", L"ln -s \"" + HostPath(folder) + L"\" \"" + DeviceLink() + L"\"",
                     [&] { return IsThere(root_); });
            AwaitWineDriveList();
        } else {
            RunUntil(nullptr, L"subst " + root_.substr(0, 2) + L" \"" + folder + L"\"", [&] { return IsThere(root_); });
        }
    }
    ~MappedDrive()
    {
        if (UnderWine()) {
            RunUntil(L"Z:\\bin\\rm", L"rm \"" + DeviceLink() + L"\"", [&] { return !IsThere(root_); });
            AwaitWineDriveList();
        } else {
            RunUntil(nullptr, L"subst " + root_.substr(0, 2) + L" /D", [&] { return !IsThere(root_); });
        }
    }
    MappedDrive(const MappedDrive&) = delete;
    MappedDrive& operator=(const MappedDrive&) = delete;

    const std::wstring& root() const { return root_; }  // "Q:\"

    // A letter that no drive has yet, from Q on.
    static wchar_t FreeLetter()
    {
        const DWORD drives = GetLogicalDrives();
        for (wchar_t letter = L'Q'; letter <= L'Z'; ++letter)
            if (!(drives & (1u << (letter - L'A')))) return letter;
        throw std::runtime_error("no free drive letter");
    }

private:
    // The prefix's link for the drive: beside the one for C:, named "q:".
    std::wstring DeviceLink() const
    {
        const std::wstring c = HostPath(L"C:\\");
        return c.substr(0, c.size() - 2) + static_cast<wchar_t>(root_[0] | 0x20) + L':';
    }

    std::wstring root_;
};

// Asks `stop` to stop after ten seconds unless destroyed before: a listing that a loop would make endless then
// ends, and the test fails on what it found instead of hanging.
class StopLater {
public:
    explicit StopLater(std::stop_source stop)
        : thread_([stop](std::stop_token ended) mutable {
              for (int i = 0; i < 200 && !ended.stop_requested(); ++i)
                  std::this_thread::sleep_for(std::chrono::milliseconds(50));
              stop.request_stop();
          })
    {
    }

private:
    std::jthread thread_;
};

}  // namespace korvane::testing
