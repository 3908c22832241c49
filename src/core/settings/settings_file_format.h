#pragma once
// The names the settings file is written and read with, shared by the reader and the writer.
#include <string>
#include <string_view>

namespace korvane::settings_file {

inline constexpr std::wstring_view kSourceSection = L"SourceList";
inline constexpr std::wstring_view kDestinationSection = L"DirList";
inline constexpr std::wstring_view kPasswordSection = L"Password";
inline constexpr std::wstring_view kPasswordKey = L"Password";
inline constexpr std::wstring_view kOptionSection = L"Option";
inline constexpr std::wstring_view kVerifyKey = L"Verify";
inline constexpr std::wstring_view kSkipCopiedKey = L"SkipCopied";
inline constexpr std::wstring_view kSelectArrivedCardKey = L"SelectArrivedCard";
inline constexpr std::wstring_view kReadCardOnceKey = L"ReadCardOnce";
inline constexpr std::wstring_view kBackupFolderKey = L"BackupFolder";  // a path, not on or off
// Every key of the option section the program reads and writes; a save keeps the section's other lines.
inline constexpr std::wstring_view kOptionKeys[] = {kVerifyKey, kSkipCopiedKey, kSelectArrivedCardKey, kReadCardOnceKey,
                                                    kBackupFolderKey};
inline constexpr std::wstring_view kOptionOn = L"1";  // any other value, or none, is off
inline constexpr std::wstring_view kOptionOff = L"0";
inline constexpr wchar_t kSeparator = L'|';  // between a name and its path; the format has no escape for it

// "Source1" to "Source3" for slot index 0 to 2.
inline std::wstring SourceKey(std::size_t slotIndex) { return L"Source" + std::to_wstring(slotIndex + 1); }
// "Dir1", "Dir2", ... for entry index 0, 1, ..., written over `key`, whose buffer a reader of many keys reuses.
inline void AssignDestinationKey(std::wstring& key, std::size_t entryIndex)
{
    key.assign(L"Dir").append(std::to_wstring(entryIndex + 1));
}
inline std::wstring DestinationKey(std::size_t entryIndex)
{
    std::wstring key;
    AssignDestinationKey(key, entryIndex);
    return key;
}

}  // namespace korvane::settings_file
