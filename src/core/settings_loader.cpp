#include "core/settings_loader.h"

#include <optional>
#include <string_view>

#include "core/failure.h"
#include "core/ini_document.h"
#include "core/settings_file_format.h"

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
        const std::wstring value = GetIniString(file, format::kSourceSection, format::SourceKey(i));
        slot.registered = !value.empty();
        if (value.empty()) continue;
        auto parts = SplitAtSeparator(value);
        if (!parts) {
            slot.name = value;
            return false;
        }
        slot.name = std::move(parts->name);
        slot.path = std::move(parts->path);
    }
    return true;
}

bool ReadDestinations(SettingsStore& store, const IniDocument& file)
{
    for (std::size_t i = 0;; ++i) {
        const std::wstring value = GetIniString(file, format::kDestinationSection, format::DestinationKey(i));
        if (value.empty()) return true;
        if (i == SettingsStore::kMaxDestinations) return false;
        auto parts = SplitAtSeparator(value);
        store.destinations.push_back(parts ? DirEntry{std::move(parts->name), std::move(parts->path)}
                                           : DirEntry{value, value});
    }
}

void ShowReadingFailure(Dialogs& dialogs)
{
    dialogs.ShowMessage({L"設定ファイルの読み込みに失敗しました", MessageIcon::Critical, MessageButtons::Ok, false,
                         L"エラー"});
}

}  // namespace

std::wstring DefaultSettingsPath(const FileSystem& fileSystem)
{
    return fileSystem.ExecutableFolder() + L"\\data.ini";
}

void LoadSettings(SettingsStore& store, Services& services, const std::wstring& path)
{
    store.destinations.clear();
    const std::wstring file = path.empty() ? DefaultSettingsPath(services.fileSystem) : path;
    try {
        if (!services.fileSystem.Lookup(file, LookupKind::FilesOnly)) return;
        for (SourceSlot& slot : store.sources) {
            slot.name.clear();
            slot.path.clear();
        }
        // A file that went away since the look-up reads as an empty one, as the profile API would read it.
        const std::string bytes = services.fileSystem.ReadFile(file).value_or(std::string{});
        const IniDocument document(services.codec.Decode(bytes));
        if (!ReadSources(store, document) || !ReadDestinations(store, document)) {
            ShowReadingFailure(services.dialogs);
            return;
        }
        store.password = GetIniString(document, format::kPasswordSection, format::kPasswordKey);
    } catch (const Failure&) {
        ShowReadingFailure(services.dialogs);
    }
}

}  // namespace korvane
