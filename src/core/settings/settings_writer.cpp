#include "core/settings/settings_writer.h"

#include <algorithm>
#include <optional>

#include "platform/failure.h"
#include "core/common/path_text.h"
#include "core/settings/file_text.h"
#include "core/settings/ini_document.h"
#include "core/settings/ini_update.h"
#include "core/settings/settings_file_format.h"
#include "core/settings/settings_path.h"

namespace korvane {
namespace {

namespace format = settings_file;
using Outcome = SaveResult::Outcome;

bool HoldsSeparator(const std::wstring& text) { return text.find(format::kSeparator) != std::wstring::npos; }

// Which rule, if any, a name and path break: the separator first, as it was the first rule the writer had.
std::optional<Outcome> BrokenRule(const std::wstring& name, const std::wstring& path, Outcome separator,
                                  Outcome lineBreak)
{
    if (HoldsSeparator(name) || HoldsSeparator(path)) return separator;
    if (HoldsLineBreakOrNul(name) || HoldsLineBreakOrNul(path)) return lineBreak;
    return std::nullopt;
}

// The refusal for the first text that cannot be stored, if any.
std::optional<SaveResult> FindUnstorableText(const SettingsStore& content, const std::wstring& file)
{
    if (content.destinations.size() > SettingsStore::kMaxDestinations)
        return SaveResult::Refused(Outcome::TooManyDestinations, file, content.destinations.size());
    for (std::size_t i = 0; i < content.sources.size(); ++i) {
        const SourceSlot& slot = content.sources[i];
        if (!slot.registered) continue;
        if (const auto rule = BrokenRule(slot.name, slot.path, Outcome::SeparatorInSlot, Outcome::LineBreakInSlot))
            return SaveResult::Refused(*rule, file, i + 1);
    }
    for (std::size_t i = 0; i < content.destinations.size(); ++i) {
        const DirEntry& item = content.destinations[i];
        if (const auto rule = BrokenRule(item.name, item.path, Outcome::SeparatorInDestination,
                                         Outcome::LineBreakInDestination))
            return SaveResult::Refused(*rule, file, i + 1, item.name);
    }
    if (HoldsLineBreakOrNul(content.password)) return SaveResult::Refused(Outcome::LineBreakInPassword, file);
    return std::nullopt;
}

// `value` as it must stand in the file to read back unchanged: the reader drops blanks around a value and then
// one pair of enclosing quotes, so a value that either would change is put inside one more pair.
std::wstring Stored(std::wstring value)
{
    const bool changedByTrimming = !value.empty() && (IsIniBlank(value.front()) || IsIniBlank(value.back()));
    if (changedByTrimming || IsEnclosedInQuotes(value)) return L'"' + value + L'"';
    return value;
}

std::wstring JoinNameAndPath(const std::wstring& name, const std::wstring& path)
{
    return name + format::kSeparator + path;
}

std::wstring OptionValue(bool on) { return std::wstring(on ? format::kOptionOn : format::kOptionOff); }

// A backup folder is saved as the destinations are shown, ending in "\"; none stays empty.
std::wstring SavedFolder(std::wstring folder) { return folder.empty() ? folder : AddLastBackslash(folder); }

// Every key the save writes, in the order of a fresh file.
std::vector<IniAssignment> Assignments(const SettingsStore& content, bool writeOptions)
{
    std::vector<IniAssignment> assignments;
    for (std::size_t i = 0; i < content.sources.size(); ++i) {
        const SourceSlot& slot = content.sources[i];
        assignments.push_back({std::wstring(format::kSourceSection), format::SourceKey(i),
                               slot.registered ? Stored(JoinNameAndPath(slot.name, slot.path)) : std::wstring{}});
    }
    for (std::size_t i = 0; i < content.destinations.size(); ++i) {
        const DirEntry& item = content.destinations[i];
        assignments.push_back({std::wstring(format::kDestinationSection), format::DestinationKey(i),
                               Stored(JoinNameAndPath(item.name, item.path))});
    }
    assignments.push_back(
        {std::wstring(format::kPasswordSection), std::wstring(format::kPasswordKey), Stored(content.password)});
    if (writeOptions) {
        const std::wstring section(format::kOptionSection);
        assignments.push_back({section, std::wstring(format::kVerifyKey), OptionValue(content.options.verify)});
        assignments.push_back({section, std::wstring(format::kSkipCopiedKey), OptionValue(content.options.skipCopied)});
        assignments.push_back({section, std::wstring(format::kSelectArrivedCardKey),
                               OptionValue(content.options.selectArrivedCard)});
        assignments.push_back(
            {section, std::wstring(format::kReadCardOnceKey), OptionValue(content.options.readCardOnce)});
        assignments.push_back({section, std::wstring(format::kBackupFolderKey),
                               Stored(SavedFolder(content.options.backupFolder))});
    }
    return assignments;
}

bool SameName(std::wstring_view a, std::wstring_view b) { return FoldIniName(a) == FoldIniName(b); }

// "Dir" and a number without leading zeros: a key the reader may read as a destination.
bool IsDestinationKey(std::wstring_view key)
{
    constexpr std::wstring_view kPrefix = L"Dir";
    if (key.size() <= kPrefix.size() || !SameName(key.substr(0, kPrefix.size()), kPrefix)) return false;
    const std::wstring_view number = key.substr(kPrefix.size());
    return number.front() != L'0' &&
           std::all_of(number.begin(), number.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

// Whether the reader reads `key` of `section`: the lines a save of the settings file owns.
bool IsReadByTheProgram(std::wstring_view section, std::wstring_view key)
{
    if (SameName(section, format::kSourceSection)) {
        for (std::size_t i = 0; i < SettingsStore::kSlotCount; ++i)
            if (SameName(key, format::SourceKey(i))) return true;
        return false;
    }
    if (SameName(section, format::kDestinationSection)) return IsDestinationKey(key);
    if (SameName(section, format::kPasswordSection)) return SameName(key, format::kPasswordKey);
    if (SameName(section, format::kOptionSection))
        return std::any_of(std::begin(format::kOptionKeys), std::end(format::kOptionKeys),
                           [&](std::wstring_view owned) { return SameName(key, owned); });
    return false;
}

// The text a save starts from, and the keys whose lines go unless the save writes them.
struct StartingText {
    std::wstring text;
    IniKeyOwner owns;
};

StartingText TextToUpdate(const FileSystem& fileSystem, const TextCodec& codec, const std::wstring& file,
                          SaveKind kind)
{
    const bool ordinary = fileSystem.Lookup(file, LookupKind::FilesOnly).has_value();
    if (ordinary && kind == SaveKind::Export) return {};
    const auto bytes = fileSystem.ReadFile(file);
    return {bytes ? DecodeFileText(*bytes, codec) : std::wstring{},
            ordinary ? IniKeyOwner(IsReadByTheProgram) : IniKeyOwner{}};
}

}  // namespace

SaveResult SaveResult::Refused(Outcome outcome, std::wstring file, std::size_t itemNumber, std::wstring label)
{
    SaveResult result(outcome, std::move(file));
    result.itemNumber_ = itemNumber;
    result.destinationLabel_ = std::move(label);
    return result;
}

SaveResult SaveResult::FileFailure(std::wstring file, int code, std::wstring reason)
{
    SaveResult result(Outcome::FileFailure, std::move(file));
    result.failureCode_ = code;
    result.reason_ = std::move(reason);
    return result;
}

SaveResult WriteSettingsFile(const SettingsStore& content, FileSystem& fileSystem, const TextCodec& codec,
                             const std::wstring& path, SaveKind kind)
{
    const std::wstring file = path.empty() ? DefaultSettingsPath(fileSystem) : path;
    if (auto refusal = FindUnstorableText(content, file)) return std::move(*refusal);
    try {
        StartingText existing = TextToUpdate(fileSystem, codec, file, kind);
        const bool writeOptions = content.options != Options{} ||
                                  IniDocument(existing.text).FindSection(format::kOptionSection).has_value();
        const std::wstring text =
            UpdateIniText(std::move(existing.text), Assignments(content, writeOptions), existing.owns);
        fileSystem.WriteFileAtomically(file, EncodeFileText(text, codec));
    } catch (const Failure& failure) {
        if (failure.code() == failure_code::kFileTooLarge)
            return SaveResult::Refused(Outcome::ExistingFileTooLarge, file);
        return SaveResult::FileFailure(file, failure.code(), failure.reason());
    }
    return SaveResult::Saved(file);
}

}  // namespace korvane
