#pragma once
// Every text the program shows about the settings file, on loading and on saving, so that they can be read and
// reviewed together.
#include <string>

#include "core/settings/settings_writer.h"
#include "platform/dialogs.h"

namespace korvane::settings_file_messages {

// The file's content breaks the format (a source without separator, too many destinations).
MessageBoxSpec ReadingFailure();
// No ordinary file is at the path (it was there when the user chose it).
MessageBoxSpec NoFile(const std::wstring& file);
// The look-up of the file failed (a malformed path, a drive that is not ready, ...).
MessageBoxSpec LookupFailure(const std::wstring& file);
// The file is there but could not be read (locked by another program, access denied, ...).
MessageBoxSpec UnreadableFile(const std::wstring& file, int code, const std::wstring& reason);
// The file is larger than any settings file can be, so it was not read.
MessageBoxSpec FileTooLarge(const std::wstring& file);
// The memory ran out while the file was read.
MessageBoxSpec OutOfMemory(const std::wstring& file);
// Any other failure while the file was read.
MessageBoxSpec UnexpectedFailure(const std::wstring& file);
// A save that did not happen (`result` is not ok): the file, and the rule the content broke or the system's
// reason.
MessageBoxSpec SaveFailure(const SaveResult& result);

}  // namespace korvane::settings_file_messages
