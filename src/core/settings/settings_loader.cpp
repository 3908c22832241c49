#include "core/settings/settings_loader.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string_view>

#include "platform/failure.h"
#include "core/common/error_box.h"
#include "core/settings/file_text.h"
#include "core/settings/ini_document.h"
#include "core/settings/settings_file_format.h"
#include "core/settings/settings_file_messages.h"
#include "core/settings/settings_path.h"

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

// Fills the store from the file's document: the slots' texts are cleared, then the slots, the destinations, the
// password and the options are read in this order, up to the first reading failure.
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
    const auto isOn = [&](std::wstring_view key) {
        return GetIniStringView(document, format::kOptionSection, key) == format::kOptionOn;
    };
    store.options = {.verify = isOn(format::kVerifyKey),
                     .skipCopied = isOn(format::kSkipCopiedKey),
                     .selectArrivedCard = isOn(format::kSelectArrivedCardKey),
                     .readCardOnce = isOn(format::kReadCardOnceKey),
                     .backupFolder = GetIniString(document, format::kOptionSection, format::kBackupFolderKey)};
}


}  // namespace

LoadResult LoadSettings(SettingsStore& store, Services& services, const std::wstring& path,
                        const std::wstring& refusalNote)
{
    namespace messages = settings_file_messages;
    store.destinations.clear();
    std::wstring file = path.empty() ? std::wstring(L"data.ini") : path;  // the name to show if even that fails
    const auto refuse = [&](const MessageBoxSpec& box) {
        services.dialogs.ShowMessage(WithLastLine(box, refusalNote));
        return LoadResult::Refused;
    };
    try {
        if (path.empty()) file = DefaultSettingsPath(services.fileSystem);
        try {
            if (!services.fileSystem.Lookup(file, LookupKind::FilesOnly)) return LoadResult::NoFile;
        } catch (const Failure&) {
            return refuse(messages::LookupFailure(file));
        }
        // A file that went away since the look-up reads as an empty one, as the profile API would read it. The
        // document is complete before the store's slots and password are touched.
        const std::string bytes = services.fileSystem.ReadFile(file).value_or(std::string{});
        FillStore(store, IniDocument(DecodeFileText(bytes, services.codec)), services.dialogs);
        return LoadResult::Read;
    } catch (const Failure& failure) {
        return refuse(failure.code() == failure_code::kFileTooLarge
                          ? messages::FileTooLarge(file)
                          : messages::UnreadableFile(file, failure.code(), failure.reason()));
    } catch (const std::bad_alloc&) {
        return refuse(messages::OutOfMemory(file));
    } catch (...) {
        return refuse(messages::UnexpectedFailure(file));
    }
}

}  // namespace korvane
