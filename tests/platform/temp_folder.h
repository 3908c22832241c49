#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it at the end of a test.
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/win32_handles.h"

namespace korvane::testing {

class TempFolder {
public:
    TempFolder()
    {
        wchar_t base[MAX_PATH + 1];
        GetTempPathW(MAX_PATH + 1, base);
        static unsigned counter = 0;
        path_ = std::wstring(base) + L"korvane-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() { RemoveTree(L"\\\\?\\" + path_); }

    const std::wstring& path() const { return path_; }
    std::wstring operator/(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

    static void WriteBytes(const std::wstring& file, std::string_view bytes, DWORD attributes = 0)
    {
        {
            const UniqueFileHandle handle(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                      FILE_ATTRIBUTE_NORMAL, nullptr));
            DWORD written = 0;
            WriteFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        }
        if (attributes != 0) SetFileAttributesW(file.c_str(), attributes);
    }

private:
    static void RemoveTree(const std::wstring& folder)
    {
        WIN32_FIND_DATAW data{};
        if (const UniqueFindHandle find(FindFirstFileW((folder + L"\\*").c_str(), &data)); find.valid()) {
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring child = folder + L"\\" + name;
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(child);
                } else {
                    DeleteFileW(child.c_str());
                }
            } while (FindNextFileW(find.get(), &data));
        }
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring path_;
};

}  // namespace korvane::testing
