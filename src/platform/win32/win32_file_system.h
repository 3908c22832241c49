#pragma once
#include "platform/file_system.h"

namespace korvane {

// The file system of Windows. Paths of any length are accepted: one that does not fit MAX_PATH is made
// absolute and given the "\\?\" prefix before it reaches the system.
//
// Decisions the interface leaves open:
// - Lookup names one entry, never a pattern: a path holding "*", "?", "<", ">", '"', "|" or a ":" past the
//   drive is malformed (code 52), as is any name the system rejects. A drive or share root ("C:\",
//   "\\server\share\") counts as a folder whenever it is there, whatever its own attributes (NTFS marks roots
//   hidden and system).
// - A missing file or folder (or a missing folder on its way) is "nothing"; other errors throw Failure with the
//   code from the table in win32_errors.cpp (drive not ready 71, access denied 75, ...).
// - ListSubfolders reports path-not-found (76) for a folder that is not there or whose name is malformed
//   (ERROR_PATH_NOT_FOUND, ERROR_FILE_NOT_FOUND, ERROR_INVALID_NAME, ERROR_DIRECTORY, missing drive or
//   share), and the table's code, with the system's reason, for everything else; so does ListTree for its
//   folder. Both take a folder of any path length.
// - ListTree does not enter a folder that is a name-surrogate reparse point (a symbolic link, a junction, a
//   mounted volume) nor one whose reparse tag the system does not give (Wine's symbolic links); it enters other
//   reparse points, such as the placeholders of a cloud-synchronised folder, which hold their own files. It
//   looks at the stop request before every entry.
// - IdentityOf is the volume serial number and file index of GetFileInformationByHandle.
class Win32FileSystem : public FileSystem {
public:
    std::optional<std::wstring> Lookup(const std::wstring& path, LookupKind kind) const override;
    std::vector<std::wstring> ListSubfolders(const std::wstring& folder) const override;
    TreeListing ListTree(const std::wstring& folder, std::stop_token stop) const override;
    std::optional<FolderIdentity> IdentityOf(const std::wstring& folder) const override;
    std::optional<std::string> ReadFile(const std::wstring& path) const override;
    // Writes a temporary file beside `path`, flushes it and moves it over `path` in one step
    // (MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH). The temporary file carries the old file's hidden,
    // system and archive attributes, so the replaced file keeps them. A read-only file is not replaced (75).
    // After the move, files beside it named "<file>.<digits>-<digits>.tmp" are deleted: the temporary files of
    // earlier writes that were killed before their move.
    void WriteFileAtomically(const std::wstring& path, std::string_view bytes) override;
    void CreateFolder(const std::wstring& path) override;
    std::uint64_t FreeBytes(const std::wstring& folder) const override;
    // GetVolumePathNameW's answer.
    std::optional<std::wstring> VolumeOf(const std::wstring& path) const override;
    std::wstring ExecutableFolder() const override;
};

}  // namespace korvane
