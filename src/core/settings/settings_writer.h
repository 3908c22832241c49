#pragma once
#include <cstddef>
#include <string>

#include "core/settings/settings_store.h"
#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace korvane {

// How a save ended. Anything but Saved means the file was left as it was.
class SaveResult {
public:
    enum class Outcome {
        Saved,
        SeparatorInSlot,          // a checked slot's name or path holds "|"
        SeparatorInDestination,   // a destination's name or path holds "|"
        LineBreakInSlot,          // a checked slot's name or path holds CR, LF or NUL
        LineBreakInDestination,   // a destination's name or path holds CR, LF or NUL
        LineBreakInPassword,      // the password holds CR, LF or NUL
        TooManyDestinations,      // more than SettingsStore::kMaxDestinations; `itemNumber` is the count
        ExistingFileTooLarge,     // the file to update is larger than FileSystem::kReadLimit
        FileFailure,              // the file system refused; `reason` says why
    };

    static SaveResult Saved(std::wstring file) { return SaveResult(Outcome::Saved, std::move(file)); }
    // A save refused before anything was written; `itemNumber` and `label` name the slot or destination.
    static SaveResult Refused(Outcome outcome, std::wstring file, std::size_t itemNumber = 0,
                              std::wstring label = {});
    static SaveResult FileFailure(std::wstring file, int code, std::wstring reason);

    bool ok() const { return outcome_ == Outcome::Saved; }
    Outcome outcome() const { return outcome_; }
    const std::wstring& file() const { return file_; }
    std::size_t itemNumber() const { return itemNumber_; }  // slot 1 to 3, or destination 1, 2, ...
    const std::wstring& destinationLabel() const { return destinationLabel_; }
    int failureCode() const { return failureCode_; }
    const std::wstring& reason() const { return reason_; }

private:
    SaveResult(Outcome outcome, std::wstring file) : outcome_(outcome), file_(std::move(file)) {}

    Outcome outcome_;
    std::wstring file_;
    std::size_t itemNumber_ = 0;
    std::wstring destinationLabel_;
    int failureCode_ = 0;
    std::wstring reason_;
};

// What a save keeps of an ordinary file it replaces.
enum class SaveKind {
    SettingsFile,  // the program's settings file: every line the program does not own stays
    Export,        // a copy of the settings in a file the user chose: a fresh file
};

// Writes `content` to the settings file at `path` (the default file when empty), replacing it atomically, in
// the ANSI code page of `codec`, or as UTF-16 when a text does not fit it (EncodeFileText). The keys written get
// their new values in their own lines, as the profile API writes them (a key not there goes to the end of its
// section, a section not there to the end of the file); what stays of the rest depends on the file:
// - an ordinary settings file keeps every line the program does not read (the options of a newer version,
//   other sections, comments); the lines of keys it reads but no longer writes (destinations past the end of
//   the list, repeated keys) go, so that it reads back exactly as saved;
// - a hidden or system file keeps every line, those of keys not written too, and its attributes;
// - an ordinary file replaced by an export becomes a fresh file.
// The options section is written once an option is on, or when the file to update has one, so that a user who
// never turns an option on keeps the file the program always wrote.
// Every text is written so that the reader (and the platform's profile API) reads it back exactly: a value that
// starts or ends with a blank or is enclosed in quotes gets one more pair of double quotes. Nothing is written
// when a text cannot be stored (a "|" in a name or path, CR, LF or NUL anywhere, more than 32,767
// destinations) or when the file system fails.
SaveResult WriteSettingsFile(const SettingsStore& content, FileSystem& fileSystem, const TextCodec& codec,
                             const std::wstring& path = {}, SaveKind kind = SaveKind::SettingsFile);

}  // namespace korvane
