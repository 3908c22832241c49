#include "core/settings_writer.h"

#include <optional>

#include "core/failure.h"
#include "core/ini_update.h"
#include "core/settings_file_format.h"
#include "core/settings_loader.h"

namespace korvane {
namespace {

namespace format = settings_file;

bool HoldsSeparator(const std::wstring& text) { return text.find(format::kSeparator) != std::wstring::npos; }

std::wstring JoinNameAndPath(const std::wstring& name, const std::wstring& path)
{
    return name + format::kSeparator + path;
}

// The refusal for the first slot or destination whose texts cannot be stored, if any.
std::optional<SaveResult> FindUnstorableText(const SettingsFileContent& content, const std::wstring& file)
{
    for (std::size_t i = 0; i < content.slots.size(); ++i) {
        const SourceSlotFields& slot = content.slots[i];
        if (slot.checked && (HoldsSeparator(slot.name) || HoldsSeparator(slot.path)))
            return SaveResult::SeparatorInSlot(file, i + 1);
    }
    for (std::size_t i = 0; i < content.destinations.size(); ++i) {
        const DestinationItem& item = content.destinations[i];
        if (HoldsSeparator(item.label) || HoldsSeparator(item.tag))
            return SaveResult::SeparatorInDestination(file, i + 1, item.label);
    }
    return std::nullopt;
}

// Every key the save writes, in the order of a fresh file.
std::vector<IniAssignment> Assignments(const SettingsFileContent& content)
{
    std::vector<IniAssignment> assignments;
    for (std::size_t i = 0; i < content.slots.size(); ++i) {
        const SourceSlotFields& slot = content.slots[i];
        assignments.push_back({std::wstring(format::kSourceSection), format::SourceKey(i),
                               slot.checked ? JoinNameAndPath(slot.name, slot.path) : std::wstring{}});
    }
    for (std::size_t i = 0; i < content.destinations.size(); ++i) {
        const DestinationItem& item = content.destinations[i];
        assignments.push_back({std::wstring(format::kDestinationSection), format::DestinationKey(i),
                               JoinNameAndPath(item.label, item.tag)});
    }
    assignments.push_back(
        {std::wstring(format::kPasswordSection), std::wstring(format::kPasswordKey), content.password});
    return assignments;
}

// The text a file that is not an ordinary one keeps: a hidden or system settings file is updated, not replaced.
std::wstring TextToUpdate(const FileSystem& fileSystem, const TextCodec& codec, const std::wstring& file)
{
    if (fileSystem.Lookup(file, LookupKind::FilesOnly)) return {};
    const auto bytes = fileSystem.ReadFile(file);
    return bytes ? codec.Decode(*bytes) : std::wstring{};
}

}  // namespace

SaveResult SaveResult::SeparatorInSlot(std::wstring file, std::size_t slotNumber)
{
    SaveResult result(Outcome::SeparatorInSlot, std::move(file));
    result.itemNumber_ = slotNumber;
    return result;
}

SaveResult SaveResult::SeparatorInDestination(std::wstring file, std::size_t number, std::wstring label)
{
    SaveResult result(Outcome::SeparatorInDestination, std::move(file));
    result.itemNumber_ = number;
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

std::wstring SaveResult::ErrorMessage() const
{
    const std::wstring headline = L"設定ファイル「" + file_ + L"」を保存できませんでした。\r\n";
    const std::wstring separatorRule = L"の名前またはフォルダに「|」が含まれています。「|」は使えません。";
    switch (outcome_) {
    case Outcome::Saved:
        return {};
    case Outcome::SeparatorInSlot:
        return headline + L"コピー元 " + std::to_wstring(itemNumber_) + L" " + separatorRule;
    case Outcome::SeparatorInDestination:
        return headline + L"保存先 " + std::to_wstring(itemNumber_) + L"「" + destinationLabel_ + L"」" +
               separatorRule;
    case Outcome::FileFailure:
        return headline + (reason_.empty() ? L"(Err No." + std::to_wstring(failureCode_) + L")" : reason_);
    }
    return {};
}

SaveResult WriteSettingsFile(const SettingsFileContent& content, FileSystem& fileSystem, const TextCodec& codec,
                             const std::wstring& path)
{
    const std::wstring file = path.empty() ? DefaultSettingsPath(fileSystem) : path;
    if (auto refusal = FindUnstorableText(content, file)) return std::move(*refusal);
    try {
        const std::wstring text = UpdateIniText(TextToUpdate(fileSystem, codec, file), Assignments(content));
        fileSystem.WriteFileAtomically(file, codec.Encode(text));
    } catch (const Failure& failure) {
        return SaveResult::FileFailure(file, failure.code(), failure.reason());
    }
    return SaveResult::Saved(file);
}

}  // namespace korvane
