#include "core/settings/settings_commands.h"

#include "core/common/error_box.h"
#include "core/settings/settings_file_messages.h"
#include "core/settings/settings_loader.h"
#include "core/settings/settings_writer.h"

namespace korvane {
namespace {

// The settings window's boxes and questions, in one place.
const std::wstring kSettingsFileFilter = L"設定ファイル(*.ini)|*.ini";
const std::wstring kExportTitle = L"外部に保存";
const std::wstring kImportTitle = L"外部から読み込み";

MessageBoxSpec ReplaceSettingsQuestion()
{
    return {L"今までの設定は消えてしまいますがよろしいですか？", MessageIcon::Exclamation, MessageButtons::YesNo,
            false, L"設定ファイルの上書き"};
}

// The last line of a message that refuses an import: the window keeps what it showed.
const std::wstring kSettingsKeptNote = L"今までの設定はそのままです";

MessageBoxSpec ImportCancelledMessage()
{
    return {L"読み込みは中止されました", MessageIcon::Critical, MessageButtons::Ok, false, L"確認"};
}

// Saves `content`, showing a save that cannot be made.
bool Save(const SettingsStore& content, Services& services, const std::wstring& path, SaveKind kind)
{
    const SaveResult result = WriteSettingsFile(content, services.fileSystem, services.codec, path, kind);
    if (!result.ok()) services.dialogs.ShowMessage(settings_file_messages::SaveFailure(result));
    return result.ok();
}

}  // namespace

SettingsStore WorkingCopyOf(const SettingsStore& store)
{
    SettingsStore content;
    for (std::size_t i = 0; i < store.sources.size(); ++i) {
        const SourceSlot& slot = store.sources[i];
        if (slot.registered) content.sources[i] = {slot.name, slot.path, true};
    }
    content.destinations.reserve(store.destinations.size());
    for (const DirEntry& entry : store.destinations) content.destinations.push_back({entry.name, entry.path});
    content.password = store.password;
    content.options = store.options;
    return content;
}

bool SaveSettingsFile(const SettingsStore& content, Services& services)
{
    return Save(content, services, {}, SaveKind::SettingsFile);
}

void ExportSettings(const SettingsStore& content, Services& services)
{
    const auto file = services.dialogs.ChooseSaveFile(
        {.filter = kSettingsFileFilter, .title = kExportTitle, .askBeforeReplacing = true, .hideReadOnly = true});
    if (file) Save(content, services, *file, SaveKind::Export);
}

bool ImportSettings(SettingsStore& imported, Services& services)
{
    const auto file = services.dialogs.ChooseOpenFile(
        {.filter = kSettingsFileFilter, .title = kImportTitle, .hideReadOnly = true, .fileMustExist = true});
    if (!file) return false;
    if (services.dialogs.ShowMessage(ReplaceSettingsQuestion()) != MessageAnswer::Yes) {
        services.dialogs.ShowMessage(ImportCancelledMessage());
        return false;
    }
    switch (LoadSettings(imported, services, *file, kSettingsKeptNote)) {
    case LoadResult::Read:
        return true;
    case LoadResult::NoFile:  // gone, or hidden, since it was chosen
        services.dialogs.ShowMessage(WithLastLine(settings_file_messages::NoFile(*file), kSettingsKeptNote));
        return false;
    case LoadResult::Refused:
        return false;
    }
    return false;
}

bool CheckPassword(const SettingsStore& store, const std::wstring& typed, Dialogs& dialogs)
{
    if (typed == store.password) return true;
    dialogs.ShowMessage(ErrorBox(L"パスワードが違います"));
    return false;
}

}  // namespace korvane
