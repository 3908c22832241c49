#include "core/settings_loader.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string_view>

#include "platform/failure.h"
#include "core/file_text.h"
#include "core/ini_document.h"
#include "core/settings_file_format.h"
#include "core/settings_file_messages.h"

namespace korvane {
namespace {

namespace format = settings_file;

struct NameAndPath {
    std::wstring name;
    std::wstring path;
};

// The first two pieces of `value` cut at every separator, or nothing when it holds no separator.
std::optional<NameAndPath> SplitAtSeparator(std::wstring_view value)
{
    const std::size_t first = value.find(format::kSeparator);
    if (first == std::wstring_view::npos) return std::nullopt;
    std::wstring_view rest = value.substr(first + 1);
    rest = rest.substr(0, rest.find(format::kSeparator));
    return NameAndPath{std::wstring(value.substr(0, first)), std::wstring(rest)};
}

// Each reader returns false at a reading failure, having stored what it read before it.
bool ReadSources(SettingsStore& store, const IniDocument& file)
{
    for (std::size_t i = 0; i < store.sources.size(); ++i) {
        SourceSlot& slot = store.sources[i];
        const std::wstring_view value = GetIniStringView(file, format::kSourceSection, format::SourceKey(i));
        slot.registered = !value.empty();
        if (value.empty()) continue;
        auto parts = SplitAtSeparator(value);
        if (!parts) {
            slot.name.assign(value);
            return false;
        }
        slot.name = std::move(parts->name);
        slot.path = std::move(parts->path);
    }
    return true;
}

// The texts are copied once, from the document straight into the store.
bool ReadDestinations(SettingsStore& store, const IniDocument& file)
{
    // Room for every key of the section at once: growing the list step by step would move it several times.
    if (const auto section = file.FindSection(format::kDestinationSection))
        store.destinations.reserve(std::min(file.KeyCount(*section), SettingsStore::kMaxDestinations));
    std::wstring key;
    for (std::size_t i = 0;; ++i) {
        format::AssignDestinationKey(key, i);
        const std::wstring_view value = GetIniStringView(file, format::kDestinationSection, key);
        if (value.empty()) return true;
        if (i == SettingsStore::kMaxDestinations) return false;
        auto parts = SplitAtSeparator(value);
        store.destinations.push_back(parts ? DirEntry{std::move(parts->name), std::move(parts->path)}
                                           : DirEntry{std::wstring(value), std::wstring(value)});
    }
}

// Steps 4 to 7 of a load, over the file's document: the slots, the destinations, the password.
void FillStore(SettingsStore& store, const IniDocument& document, Dialogs& dialogs)
{
    for (SourceSlot& slot : store.sources) {
        slot.name.clear();
        slot.path.clear();
    }
    if (!ReadSources(store, document) || !ReadDestinations(store, document)) {
        dialogs.ShowMessage(settings_file_messages::ReadingFailure());
        return;
    }
    store.password = GetIniString(document, format::kPasswordSection, format::kPasswordKey);
}

// Whether an ordinary file is there; a look-up that fails is shown to the user and counts as no file.
bool SettingsFileIsThere(Services& services, const std::wstring& file)
{
    try {
        return services.fileSystem.Lookup(file, LookupKind::FilesOnly).has_value();
    } catch (const Failure&) {
        services.dialogs.ShowMessage(settings_file_messages::LookupFailure(file));
        return false;
    }
}

}  // namespace

std::wstring DefaultSettingsPath(const FileSystem& fileSystem)
{
    return fileSystem.ExecutableFolder() + L"\\data.ini";
}

void LoadSettings(SettingsStore& store, Services& services, const std::wstring& path)
{
    namespace messages = settings_file_messages;
    store.destinations.clear();
    std::wstring file = path.empty() ? std::wstring(L"data.ini") : path;  // the name to show if even that fails
    Dialogs& dialogs = services.dialogs;
    try {
        if (path.empty()) file = DefaultSettingsPath(services.fileSystem);
        if (!SettingsFileIsThere(services, file)) return;
        // A file that went away since the look-up reads as an empty one, as the profile API would read it.
        // The store is touched only once the whole file is read and parsed.
        const std::string bytes = services.fileSystem.ReadFile(file).value_or(std::string{});
        FillStore(store, IniDocument(DecodeFileText(bytes, services.codec)), dialogs);
    } catch (const Failure& failure) {
        dialogs.ShowMessage(failure.code() == failure_code::kFileTooLarge
                                ? messages::FileTooLarge(file)
                                : messages::UnreadableFile(file, failure.code(), failure.reason()));
    } catch (const std::bad_alloc&) {
        dialogs.ShowMessage(messages::OutOfMemory(file));
    } catch (...) {
        dialogs.ShowMessage(messages::UnexpectedFailure(file));
    }
}

}  // namespace korvane
